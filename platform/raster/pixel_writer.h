// The one place where drawing meets pixel memory: every span and pixel is
// clipped here to the surface and to the context's clip region, combined
// with the destination by the binary raster operation, and marked drawn by
// a 0 in its fourth byte.
#pragma once

#include "raster/brush_source.h"
#include "raster/pixel_word.h"
#include "raster/target.h"

#include <windows.h>

#include <cstdint>

namespace velmora::platform {

// dst combined with src by an R2_* operation, alpha byte cleared.
std::uint32_t apply_rop2(int rop2, std::uint32_t src, std::uint32_t dst);

class PixelWriter {
 public:
  PixelWriter(const Target& target, int rop2) : target_(target), rop2_(rop2) {}

  bool empty() const { return target_.empty(); }
  const Surface& surface() const { return target_.surface; }

  // Pixels [x0, x1) of row y, painted from a brush source.
  void span(int y, int x0, int x1, const BrushSource& source);
  // One pixel.
  void pixel(int x, int y, std::uint32_t color);

 private:
  void write_run(int y, int x0, int x1, const BrushSource& source);

  Target target_;
  int rop2_;
};

}  // namespace velmora::platform
