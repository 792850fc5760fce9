// The one place where drawing meets pixel memory: every span and pixel is
// clipped here to the surface and to the context's clip region, combined
// with the destination by the binary raster operation, and marked drawn by
// a 0 in its fourth byte.
#pragma once

#include "gdi/dc.h"
#include "gdi/surface.h"
#include "raster/brush_source.h"
#include "region/region.h"

#include <cstdint>

namespace velmora::platform {

// A colour as it sits in a 32-bit pixel (0x00RRGGBB: bytes B, G, R, 0).
std::uint32_t pixel_of(COLORREF color);

// dst combined with src by an R2_* operation, alpha byte cleared.
std::uint32_t apply_rop2(int rop2, std::uint32_t src, std::uint32_t dst);

class PixelWriter {
 public:
  PixelWriter(const DeviceContext& dc, int rop2);

  bool empty() const { return surface_.empty(); }
  const Surface& surface() const { return surface_; }

  // Pixels [x0, x1) of row y, painted from a brush source.
  void span(int y, int x0, int x1, const BrushSource& source);
  // One pixel.
  void pixel(int x, int y, std::uint32_t color);
  // Pixels [x0, x0 + len) of row y blended towards colour by coverage (0..255).
  void blend_span(int y, int x0, int len, std::uint32_t color, const std::uint8_t* covers);

 private:
  void write_run(int y, int x0, int x1, const BrushSource& source);

  Surface surface_;
  const Region* clip_;
  int rop2_;
};

}  // namespace velmora::platform
