// Velmora: the core entry point. The player draws the picture at twice the
// target's resolution into an alpha-keyed capture; AGG halves (and turns)
// it; AlphaBlend composes the result onto the target.
#include "velmora.h"

#include "capture.h"
#include "capture_geometry.h"
#include "resample.h"

#include <cmath>

namespace {

using velmora::core::CaptureGeometry;
using velmora::core::CaptureSurface;

// Per-pixel alpha only: the result is premultiplied and carries the key's
// opacity already, so the blit adds no constant alpha of its own.
BOOL compose(HDC target, const RECT& rect, HDC source, const CaptureGeometry& geometry) {
  BLENDFUNCTION blend{};
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = AC_SRC_ALPHA;
  return AlphaBlend(target, rect.left, rect.top, geometry.width, geometry.height, source, 0, 0, geometry.width,
                    geometry.height, blend);
}

// The whole drawing; the surface releases the memory context and both
// bitmaps on every way out, an allocation failure in AGG included.
bool draw(HDC dc, HENHMETAFILE picture, const RECT& rect, unsigned char key, double angle,
          const CaptureGeometry& geometry) {
  CaptureSurface surface(dc, geometry.capture_width, geometry.capture_height);
  if (!surface.valid()) return false;
  surface.capture(picture, geometry.playback, key);
  velmora::core::resample(surface.capture_pixels(), surface.result_pixels(), geometry.width, geometry.height, angle);
  surface.select_result();
  return compose(dc, rect, surface.dc(), geometry) != 0;
}

}  // namespace

int Velmora(HDC dc, HENHMETAFILE hemf, RECT* rect, unsigned char alphaKey, double angle, double cropLeft,
            double cropTop, double cropRight, double cropBottom) {
  if (!dc || !hemf || !rect) return 0;
  // A turn that is not a finite number has no meaning; it is refused.
  if (!std::isfinite(angle)) return 0;
  const auto crop = velmora::core::normalize_crop(cropLeft, cropTop, cropRight, cropBottom);
  if (!crop) return 0;
  const auto geometry = velmora::core::plan_capture(*rect, *crop);
  if (!geometry) return 0;
  // The only exception that can arise is std::bad_alloc from AGG's storage;
  // it must not cross the exported boundary.
  try {
    return draw(dc, hemf, *rect, alphaKey, angle, *geometry) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}
