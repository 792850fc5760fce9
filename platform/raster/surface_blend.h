// AlphaBlend between two surfaces (msimg32's AlphaBlend, as Velmora composes
// its result): per-pixel premultiplied alpha and/or a constant alpha,
// stretching by nearest pixel when the rectangles differ in size.
#pragma once

#include "raster/target.h"

#include <windows.h>

#include <cstdint>

namespace velmora::platform {

// Composes source rectangle `from` over target rectangle `to` (device pixels
// of each surface, proper rectangles). `constant` is SourceConstantAlpha;
// `per_pixel` is AC_SRC_ALPHA.
void blend_surface(const Target& target, const RECT& to, const Surface& source, const RECT& from,
                   std::uint32_t constant, bool per_pixel);

}  // namespace velmora::platform
