// AlphaBlend (msimg32): composes source pixels over destination pixels with
// per-pixel premultiplied alpha (AC_SRC_ALPHA) and/or a constant alpha,
// stretching by nearest pixel when the rectangles differ in size. Clipped to
// both surfaces and to the destination's clip region.
#include "common/no_throw.h"
#include "gdi/dc.h"
#include "raster/clip_runs.h"

#include <cmath>
#include <cstdint>

using namespace velmora::platform;

namespace {

// x * y / 255, rounded, for bytes.
inline std::uint32_t mul255(std::uint32_t x, std::uint32_t y) {
  const std::uint32_t t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

struct Blend {
  std::uint32_t constant;  // SourceConstantAlpha
  bool per_pixel;          // AC_SRC_ALPHA

  // The destination pixel after composing the source over it.
  std::uint32_t apply(std::uint32_t src, std::uint32_t dst) const {
    const std::uint32_t src_alpha = per_pixel ? mul255(src >> 24, constant) : constant;
    if (src_alpha == 0) return dst;
    if (src_alpha == 255 && constant == 255) return src;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const std::uint32_t s = (src >> shift) & 0xFF;
      const std::uint32_t d = (dst >> shift) & 0xFF;
      // Premultiplied source: scaled by the constant only; without AC_SRC_ALPHA
      // the constant alone weighs source against destination.
      const std::uint32_t value = std::min<std::uint32_t>(255, mul255(s, constant) + mul255(d, 255 - src_alpha));
      out |= value << shift;
    }
    return out;
  }
};

// A rectangle in device pixels of one context; false when the transform
// turns or the result is not a proper rectangle.
bool device_rect(const DeviceContext& dc, int x, int y, int w, int h, RECT& out) {
  const agg::trans_affine m = dc.logical_to_device();
  if (m.shx != 0.0 || m.shy != 0.0) return false;
  double x0 = x, y0 = y, x1 = static_cast<double>(x) + w, y1 = static_cast<double>(y) + h;
  m.transform(&x0, &y0);
  m.transform(&x1, &y1);
  out = RECT{static_cast<LONG>(std::lround(std::min(x0, x1))), static_cast<LONG>(std::lround(std::min(y0, y1))),
             static_cast<LONG>(std::lround(std::max(x0, x1))), static_cast<LONG>(std::lround(std::max(y0, y1)))};
  return out.right > out.left && out.bottom > out.top;
}

std::uint32_t load(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void store(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void blend_rows(const DeviceContext& dst, const RECT& d, const Surface& src, const RECT& s, const Blend& blend) {
  const Surface& out = dst.surface();
  const Region* clip = dst.state().clip ? &*dst.state().clip : nullptr;
  const double scale_x = static_cast<double>(s.right - s.left) / (d.right - d.left);
  const double scale_y = static_cast<double>(s.bottom - s.top) / (d.bottom - d.top);
  for (int y = d.top; y < d.bottom; ++y) {
    const int sy = s.top + static_cast<int>(std::floor((y - d.top + 0.5) * scale_y));
    if (sy < 0 || sy >= src.height) continue;
    for_each_visible_run(out, clip, y, d.left, d.right, [&](int x0, int x1) {
      for (int x = x0; x < x1; ++x) {
        const int sx = s.left + static_cast<int>(std::floor((x - d.left + 0.5) * scale_x));
        if (sx < 0 || sx >= src.width) continue;
        std::uint8_t* p = out.pixel(x, y);
        store(p, blend.apply(load(src.pixel(sx, sy)), load(p)));
      }
    });
  }
}

}  // namespace

BOOL WINAPI AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                       int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn) {
  return no_throw<BOOL>(FALSE, [&]() -> BOOL {
    const DeviceContext* dst = lookup_dc(hdcDest);
    const DeviceContext* src = lookup_dc(hdcSrc);
    if (!dst || !src || ftn.BlendOp != AC_SRC_OVER) return FALSE;
    if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) return FALSE;
    if (ftn.AlphaFormat & ~AC_SRC_ALPHA) return FALSE;
    RECT d, s;
    if (!device_rect(*dst, xoriginDest, yoriginDest, wDest, hDest, d) ||
        !device_rect(*src, xoriginSrc, yoriginSrc, wSrc, hSrc, s)) {
      return wDest == 0 || hDest == 0 ? TRUE : FALSE;
    }
    if (dst->surface().empty() || src->surface().empty()) return FALSE;
    blend_rows(*dst, d, src->surface(), s, Blend{ftn.SourceConstantAlpha, (ftn.AlphaFormat & AC_SRC_ALPHA) != 0});
    return TRUE;
  });
}
