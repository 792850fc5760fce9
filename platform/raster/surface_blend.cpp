#include "raster/surface_blend.h"

#include "raster/pixel_word.h"
#include "raster/premultiplied_over.h"

#include <algorithm>
#include <cmath>

namespace velmora::platform {
namespace {

struct Blend {
  std::uint32_t constant;  // SourceConstantAlpha
  bool per_pixel;          // AC_SRC_ALPHA

  // The destination pixel after composing the source over it.
  std::uint32_t apply(std::uint32_t src, std::uint32_t dst) const {
    const std::uint32_t src_alpha = per_pixel ? div255((src >> 24) * constant) : constant;
    if (src_alpha == 0) return dst;
    if (src_alpha == 255 && constant == 255) return src;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const std::uint32_t s = (src >> shift) & 0xFF;
      const std::uint32_t d = (dst >> shift) & 0xFF;
      // Premultiplied source: scaled by the constant only; without AC_SRC_ALPHA
      // the constant alone weighs source against destination.
      const std::uint32_t value = std::min<std::uint32_t>(255, div255(s * constant) + div255(d * (255 - src_alpha)));
      out |= value << shift;
    }
    return out;
  }
};

// Same-size rectangles: each target pixel takes the source pixel at the
// same offset, row by row.
template <class BlendRow>
void blend_unscaled(const Target& target, const RECT& to, const Surface& source, const RECT& from, BlendRow&& row) {
  for (int y = to.top; y < to.bottom; ++y) {
    const int sy = from.top + (y - to.top);
    if (sy < 0 || sy >= source.height) continue;
    // Columns whose source lies inside the source surface.
    const int dx = from.left - to.left;
    const int x_begin = std::max<int>(to.left, -dx), x_end = std::min<int>(to.right, source.width - dx);
    for_each_visible_run(target, y, x_begin, x_end, [&](int x0, int x1) {
      row(target.surface.pixel(x0, y), source.pixel(x0 + dx, sy), x1 - x0);
    });
  }
}

}  // namespace

void blend_surface(const Target& target, const RECT& to, const Surface& source, const RECT& from,
                   std::uint32_t constant, bool per_pixel) {
  const Blend blend{constant, per_pixel};
  if (from.right - from.left == to.right - to.left && from.bottom - from.top == to.bottom - to.top) {
    if (per_pixel && constant == 255) {
      blend_unscaled(target, to, source, from, over_row);
    } else {
      blend_unscaled(target, to, source, from, [&](std::uint8_t* p, const std::uint8_t* s, int n) {
        for (int i = 0; i < n; ++i, p += 4, s += 4) store_pixel(p, blend.apply(load_pixel(s), load_pixel(p)));
      });
    }
    return;
  }
  const Surface& out = target.surface;
  const double scale_x = static_cast<double>(from.right - from.left) / (to.right - to.left);
  const double scale_y = static_cast<double>(from.bottom - from.top) / (to.bottom - to.top);
  for (int y = to.top; y < to.bottom; ++y) {
    const int sy = from.top + static_cast<int>(std::floor((y - to.top + 0.5) * scale_y));
    if (sy < 0 || sy >= source.height) continue;
    for_each_visible_run(target, y, to.left, to.right, [&](int x0, int x1) {
      for (int x = x0; x < x1; ++x) {
        const int sx = from.left + static_cast<int>(std::floor((x - to.left + 0.5) * scale_x));
        if (sx < 0 || sx >= source.width) continue;
        std::uint8_t* p = out.pixel(x, y);
        store_pixel(p, blend.apply(load_pixel(source.pixel(sx, sy)), load_pixel(p)));
      }
    });
  }
}

}  // namespace velmora::platform
