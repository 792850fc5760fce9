// The aspect fit shared by the file entry points and the viewer: shrinks a
// rectangle to a picture's aspect ratio, keeping its top-left corner.
#pragma once

#include <windows.h>

namespace velmora {

// With W = right - left and H = bottom - top (no + 1), both in the bounds:
//   aspect > 1.0:  right = left + trunc(H * aspect); if past the bounds,
//                  right stays and bottom = top + trunc(W / aspect);
//   otherwise:     bottom = top + trunc(W / aspect); if past the bounds,
//                  bottom stays and right = left + trunc(H * aspect).
// The float value of `aspect` is part of the rule (4:3 is 1.33333337, so a
// 1000 x 1000 box gives bottom 749). A side whose 32-bit value would
// overflow (an infinite, NaN or extreme ratio) counts as past the bounds,
// and its fallback keeps the bound: the result never leaves 32 bits.
RECT FitToAspect(const RECT& bounds, float aspect);

}  // namespace velmora
