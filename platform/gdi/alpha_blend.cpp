// AlphaBlend (msimg32): the two contexts' rectangles in device pixels,
// composed by the pixels' own blend (raster/surface_blend.h). Clipped to
// both surfaces and to the destination's clip region.
#include "common/no_throw.h"
#include "gdi/dc.h"
#include "gdi/dc_paint.h"
#include "raster/surface_blend.h"

#include <cmath>
#include <cstdint>

using namespace velmora::platform;

namespace {

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
    blend_surface(paint_target(*dst), d, src->surface(), s, ftn.SourceConstantAlpha,
                  (ftn.AlphaFormat & AC_SRC_ALPHA) != 0);
    return TRUE;
  });
}
