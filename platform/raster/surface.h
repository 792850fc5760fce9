// A view of 32-bit pixel memory as top-down rows of B, G, R, A bytes.
// A bottom-up DIB section is viewed through a negative stride, so row 0 is
// always the top row as a device context sees it.
#pragma once

#include <agg_basics.h>

#include <cstddef>
#include <cstdint>

namespace velmora::platform {

struct Surface {
  std::uint8_t* top_row = nullptr;  // first byte of device row 0
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // bytes from one device row to the next; negative for bottom-up memory

  bool empty() const { return top_row == nullptr || width <= 0 || height <= 0; }
  std::uint8_t* row(int y) const { return top_row + y * stride; }
  std::uint8_t* pixel(int x, int y) const { return row(y) + 4 * static_cast<std::ptrdiff_t>(x); }
};

// The surface grown by margin pixels on every side: what a fill or a stroke
// reaching that far out can touch.
inline agg::rect_d visible_box(const Surface& surface, double margin) {
  return {-margin, -margin, surface.width + margin, surface.height + margin};
}

}  // namespace velmora::platform
