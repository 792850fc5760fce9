// Anti-aliased glyph coverage worked out once per shape: text draws the same
// hinted glyphs at whole-pixel positions again and again. A run's outlines
// are split into pieces whose pixel boxes do not meet. The rasterizer gives
// a pixel the sum of what the edges in it and to its left add, and a closed
// outline adds nothing past its own box, so a piece alone covers its pixels
// exactly as the whole run does; moved by whole pixels, its points move by
// whole steps of the rasterizer's grid and its coverage just moves with it.
#pragma once

#include <agg_path_storage.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform {

inline constexpr int kCoverageLevels = 16;

// Coverage 0..255 to sixteenths, rounded half up: floor(cover * 16 / 255 + 1/2).
inline int coverage_level(std::uint8_t cover) { return (cover * 2 * kCoverageLevels + 255) / 510; }

// The coverage level of each pixel of a piece's box, row by row.
struct PieceCoverage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> levels;
};

// A piece of a run on the device: its coverage and where its box's top-left pixel lies.
struct PlacedCoverage {
  const PieceCoverage* coverage;
  int x, y;
};

// The pieces of a flattened glyph path, their coverage kept for this thread
// and valid until the next call; nothing when a curve is left or some point
// lies outside [0, width] x [0, height] (the rasterizer would clip it).
std::optional<std::vector<PlacedCoverage>> glyph_coverage(agg::path_storage& glyphs, int width, int height);

}  // namespace velmora::platform
