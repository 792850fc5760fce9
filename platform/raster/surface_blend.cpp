#include "raster/surface_blend.h"

#include "raster/pixel_word.h"

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

// Premultiplied source pixels at full constant alpha, as Velmora composes
// its result: Blend::apply with its arithmetic cut down to what is left
// (the constant scales nothing, the coverage is the source's own alpha).
std::uint32_t over(std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t alpha = src >> 24;
  if (alpha == 0) return dst;
  if (alpha == 255) return src;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t value = ((src >> shift) & 0xFF) + div255(((dst >> shift) & 0xFF) * (255 - alpha));
    out |= std::min<std::uint32_t>(255, value) << shift;
  }
  return out;
}

// Same-size rectangles: each target pixel takes the source pixel at the
// same offset, row by row.
template <class Apply>
void blend_unscaled(const Target& target, const RECT& to, const Surface& source, const RECT& from, Apply&& apply) {
  for (int y = to.top; y < to.bottom; ++y) {
    const int sy = from.top + (y - to.top);
    if (sy < 0 || sy >= source.height) continue;
    // Columns whose source lies inside the source surface.
    const int dx = from.left - to.left;
    const int x_begin = std::max<int>(to.left, -dx), x_end = std::min<int>(to.right, source.width - dx);
    for_each_visible_run(target, y, x_begin, x_end, [&](int x0, int x1) {
      std::uint8_t* p = target.surface.pixel(x0, y);
      const std::uint8_t* s = source.pixel(x0 + dx, sy);
      for (int x = x0; x < x1; ++x, p += 4, s += 4) store_pixel(p, apply(load_pixel(s), load_pixel(p)));
    });
  }
}

}  // namespace

void blend_surface(const Target& target, const RECT& to, const Surface& source, const RECT& from,
                   std::uint32_t constant, bool per_pixel) {
  const Blend blend{constant, per_pixel};
  if (from.right - from.left == to.right - to.left && from.bottom - from.top == to.bottom - to.top) {
    if (per_pixel && constant == 255) {
      blend_unscaled(target, to, source, from, over);
    } else {
      blend_unscaled(target, to, source, from, [&](std::uint32_t s, std::uint32_t d) { return blend.apply(s, d); });
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
