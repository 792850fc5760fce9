// Draws a decoded bitmap onto a surface: the bitmap records' raster
// operations (StretchBlt and MaskBlt with any ROP3 or ROP4, PatBlt),
// TransparentBlt and AlphaBlend, through an axis-aligned or an affine
// placement, inside a clip.
//
// Contract: the caller gives device coordinates and a source rectangle in
// image pixels (top-down, positive extents); every pixel written is inside
// the surface and the clip. Words are combined whole, fourth byte included
// (see pixel_word.h): a 32-bit source that keeps its fourth byte brings it
// along, everything else brings 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <variant>
#include <vector>

#include "raster/image.h"
#include "raster/pattern.h"
#include "raster/target.h"

namespace velmora::platform {

// An axis-aligned destination in device pixels. A negative extent mirrors
// the picture, and then, as the platform does, covers the pixels from
// x + width + 1 to x inclusive.
struct AxisPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Any affine destination (rotated or sheared blits, PlgBlt): the device
// positions of the source rectangle's top-left, top-right and bottom-left
// corners.
struct AffinePlacement {
  double top_left_x = 0, top_left_y = 0;
  double top_right_x = 0, top_right_y = 0;
  double bottom_left_x = 0, bottom_left_y = 0;
};

using Placement = std::variant<AxisPlacement, AffinePlacement>;

struct BlitSource {
  const Image32* image = nullptr;  // null for a blit that uses no source (PatBlt)
  int x = 0;                       // the source rectangle, in image pixels from the top-left
  int y = 0;
  int width = 0;  // > 0; for a pattern-only blit, the extent the placement maps
  int height = 0;
};

struct RopBlit {
  DWORD rop = SRCCOPY;                      // a ROP3; with a mask, a ROP4 (background index in the top byte)
  const PatternSampler* pattern = nullptr;  // the brush; needed when the ROP uses P
  int stretch_mode = BLACKONWHITE;          // how shrinking combines source pixels
  const Image32* mask = nullptr;            // MaskBlt: a non-black pixel selects the foreground ROP
  int mask_x = 0;                           // the mask pixel that lines up with the source rectangle's corner
  int mask_y = 0;
};

// StretchBlt, BitBlt, PatBlt, MaskBlt, PlgBlt, StretchDIBits. False when
// nothing can be drawn (no source where the ROP needs one, no pattern where
// it needs one, a degenerate placement).
bool blit(const Target& target, const Placement& placement, const BlitSource& source, const RopBlit& op);

// TransparentBlt: copies the source except pixels whose colour is
// `transparent` (a pixel word; its fourth byte is ignored).
bool transparent_blit(const Target& target, const Placement& placement, const BlitSource& source,
                      std::uint32_t transparent);

// AlphaBlend. With AC_SRC_ALPHA the source is premultiplied and its fourth
// byte is the coverage (the image must keep its fourth byte); without it,
// only the constant alpha mixes. The fourth byte of the result is blended
// like the colours.
bool alpha_blend(const Target& target, const Placement& placement, const BlitSource& source,
                 BLENDFUNCTION blend);

}  // namespace velmora::platform
