// One-pixel lines as GDI draws cosmetic pens: Bresenham steps between pixel
// positions, the end point excluded, the dash pattern running on along a
// polyline and its gaps painted with the background colour in OPAQUE mode.
#pragma once

#include "raster/pixel_writer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform {

class CosmeticLine {
 public:
  // pattern: alternating on/off run lengths in pixels, empty for solid.
  CosmeticLine(PixelWriter& writer, std::uint32_t color, std::optional<std::uint32_t> gap_color,
               std::vector<int> pattern);

  // Pixels from a towards b, b itself excluded.
  void line(POINT a, POINT b);
  // The single pixel at p (a polyline that ends where it began still shows).
  void dot(POINT p);

 private:
  void plot(int x, int y);
  void advance_pattern(long long pixels);

  PixelWriter& writer_;
  std::uint32_t color_;
  std::optional<std::uint32_t> gap_color_;
  std::vector<int> pattern_;
  std::size_t dash_ = 0;  // index into pattern_: even = drawn, odd = gap
  int left_in_dash_ = 0;
};

}  // namespace velmora::platform
