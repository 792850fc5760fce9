// Strokes of an outline whose integer points are pixels (the "index"
// convention of GDI's lines: a line from (0, 0) to (3, 0) lights pixels 0,
// 1 and 2). Cosmetic strokes walk one-pixel Bresenham lines with their dash
// pattern; wide ones are stroked with AGG (caps, joins, miter limit, dashes)
// and the outline filled aliased with the stroke's brush.
#pragma once

#include "raster/brush_source.h"
#include "raster/target.h"

#include <agg_math_stroke.h>
#include <agg_path_storage.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform {

struct StrokeStyle {
  bool cosmetic = true;
  // Cosmetic: the line's colour, the colour of its dashes' gaps (none: left
  // alone), and its on/off runs in pixels (empty for solid).
  std::uint32_t color = 0;
  std::optional<std::uint32_t> gap_color;
  std::vector<int> pixel_pattern;
  // Wide: the width in device pixels, its ends and corners, its on/off runs
  // in pixels (empty for solid) and what fills it.
  double width = 1.0;
  agg::line_cap_e cap = agg::round_cap;
  agg::line_join_e join = agg::round_join;
  double miter_limit = 10.0;
  std::vector<double> dashes;
  BrushSource brush;
};

void stroke_outline(const Target& target, int rop2, agg::path_storage& outline, const StrokeStyle& style);

}  // namespace velmora::platform
