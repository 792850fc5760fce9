#include "raster/stroke.h"

#include "raster/clipped_dash.h"
#include "raster/cosmetic_line.h"
#include "raster/scan_fill.h"

#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>

#include <cmath>

namespace velmora::platform {
namespace {

constexpr double kPointToCentre = 0.5;

struct Polyline {
  std::vector<POINT> points;
  bool closed = false;
};

// The outline's figures flattened to whole-pixel polylines.
std::vector<Polyline> flatten(agg::path_storage& outline) {
  agg::conv_curve<agg::path_storage> curves(outline);
  std::vector<Polyline> lines;
  double x, y;
  curves.rewind(0);
  for (unsigned cmd; !agg::is_stop(cmd = curves.vertex(&x, &y));) {
    if (agg::is_move_to(cmd) || lines.empty()) lines.emplace_back();
    if (agg::is_vertex(cmd)) {
      lines.back().points.push_back(POINT{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))});
    } else if (agg::is_end_poly(cmd) && agg::is_closed(cmd)) {
      lines.back().closed = true;
    }
  }
  return lines;
}

void stroke_cosmetic(const Target& target, int rop2, agg::path_storage& outline, const StrokeStyle& style) {
  PixelWriter writer(target, rop2);
  for (const Polyline& line : flatten(outline)) {
    // Each figure starts the dash pattern afresh, as the platform draws them.
    CosmeticLine walker(writer, style.color, style.gap_color, style.pixel_pattern);
    const std::vector<POINT>& p = line.points;
    for (std::size_t i = 1; i < p.size(); ++i) walker.line(p[i - 1], p[i]);
    if (line.closed && p.size() > 2) walker.line(p.back(), p.front());
  }
}

template <class Source>
void fill_stroke(const Target& target, int rop2, Source& source, const StrokeStyle& style) {
  agg::conv_stroke<Source> stroke(source);
  stroke.width(style.width);
  stroke.line_cap(style.cap);
  stroke.line_join(style.join);
  stroke.miter_limit(style.miter_limit);
  PixelWriter writer(target, rop2);
  fill_aliased(writer, stroke, FillRule::NonZero, style.brush);
}

void stroke_wide(const Target& target, int rop2, agg::path_storage& outline, const StrokeStyle& style) {
  // Pixel (x, y) is the point (x, y): move it onto the centre that the
  // aliased fill samples.
  agg::path_storage centred(outline);
  centred.transform_all_paths(agg::trans_affine_translation(kPointToCentre, kPointToCentre));
  agg::conv_curve<agg::path_storage> curves(centred);
  if (style.dashes.empty()) {
    fill_stroke(target, rop2, curves, style);
    return;
  }
  std::optional<agg::path_storage> dashes =
      clipped_dashes(centred, style.dashes, visible_box(target.surface, style.width + kScanClipMargin));
  if (dashes) {
    fill_stroke(target, rop2, *dashes, style);
  } else {
    fill_stroke(target, rop2, curves, style);
  }
}

}  // namespace

void stroke_outline(const Target& target, int rop2, agg::path_storage& outline, const StrokeStyle& style) {
  if (style.cosmetic) {
    stroke_cosmetic(target, rop2, outline, style);
  } else {
    stroke_wide(target, rop2, outline, style);
  }
}

}  // namespace velmora::platform
