// A hinted outline through FreeType's two-level rasteriser, as runs of set
// pixels: what two-level text draws, strokes thinner than a pixel kept
// (dropout control).
#pragma once

#include "text/glyph_cache.h"

#include <optional>
#include <vector>

namespace velmora::platform {

// Runs relative to the glyph's origin pixel, row by row from the top;
// nothing when the outline is too large for a bitmap or FreeType refuses it.
std::optional<std::vector<GlyphPixelRun>> two_level_pixels(FT_Library library, const LoadedGlyph& glyph);

}  // namespace velmora::platform
