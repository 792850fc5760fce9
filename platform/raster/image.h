// A decoded bitmap: top-down rows of 32-bit pixels, bytes B, G, R, A in
// memory (0xAARRGGBB as a little-endian uint32). Every DIB, whatever its
// depth or compression, is decoded into this form before it is drawn.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora::platform {

struct Image32 {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height, row 0 at the top
  bool has_alpha = false;             // a 32-bit source whose fourth byte is meaningful

  bool empty() const { return width <= 0 || height <= 0; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace velmora::platform
