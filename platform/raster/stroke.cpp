#include "raster/stroke.h"

#include "gdi/visible_curves.h"
#include "raster/clipped_dash.h"
#include "raster/cosmetic_line.h"
#include "raster/scan_fill.h"

#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>

#include <cmath>

namespace velmora::platform {
namespace {

constexpr double kPointToCentre = 0.5 - 1.0 / 256.0;

struct Polyline {
  std::vector<POINT> points;
  bool closed = false;
};

// The outline's figures flattened to whole-pixel polylines.
std::vector<Polyline> flatten(const DevicePath& outline, const agg::rect_d& visible) {
  agg::path_storage path = outline.to_agg(&visible);
  agg::conv_curve<agg::path_storage> curves(path);
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

std::optional<std::uint32_t> gap_color(const DcState& state) {
  if (state.bk_mode != OPAQUE) return std::nullopt;
  return pixel_of(resolve_color(state.bk_color, state.palette));
}

void stroke_cosmetic(DeviceContext& dc, const DevicePath& outline, const PenTraits& pen) {
  PixelWriter writer(dc, dc.state().rop2);
  CosmeticLine walker(writer, pixel_of(resolve_color(pen.color, dc.state().palette)), gap_color(dc.state()),
                      cosmetic_pattern(pen.line_style(), pen.dashes));
  for (const Polyline& line : flatten(outline, visible_box(dc.surface(), kScanClipMargin))) {
    const std::vector<POINT>& p = line.points;
    for (std::size_t i = 1; i < p.size(); ++i) walker.line(p[i - 1], p[i]);
    if (line.closed && p.size() > 2) walker.line(p.back(), p.front());
  }
}

agg::line_cap_e cap_of(const PenTraits& pen) {
  switch (pen.style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE:
      return agg::square_cap;
    case PS_ENDCAP_FLAT:
      return agg::butt_cap;
    default:
      return agg::round_cap;
  }
}

agg::line_join_e join_of(const PenTraits& pen) {
  switch (pen.style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL:
      return agg::bevel_join;
    case PS_JOIN_MITER:
      return agg::miter_join_revert;
    default:
      return agg::round_join;
  }
}

// Dash runs of a wide geometric pen, in device pixels; empty for solid.
// The styles are measured in pen widths: a dash is three, a dot and a gap one.
std::vector<double> wide_pattern(const PenTraits& pen, double width) {
  std::vector<double> units;
  switch (pen.line_style()) {
    case PS_DASH:
      units = {3, 1};
      break;
    case PS_DOT:
      units = {1, 1};
      break;
    case PS_DASHDOT:
      units = {3, 1, 1, 1};
      break;
    case PS_DASHDOTDOT:
      units = {3, 1, 1, 1, 1, 1};
      break;
    case PS_USERSTYLE:  // device pixels, unscaled, as the reference player takes them
      for (DWORD d : pen.dashes) units.push_back(d / width);
      break;
    default:
      return {};
  }
  if (units.size() % 2 == 1) units.insert(units.end(), units.begin(), units.end());
  double total = 0.0;
  for (double& u : units) total += (u *= width);
  if (!(total > 0.5)) return {};  // a pattern shorter than a pixel draws as solid
  return units;
}

template <class Source>
void fill_stroke(DeviceContext& dc, Source& source, const PenTraits& pen, double width) {
  agg::conv_stroke<Source> stroke(source);
  stroke.width(width);
  stroke.line_cap(cap_of(pen));
  stroke.line_join(join_of(pen));
  stroke.miter_limit(std::max(1.0f, dc.state().miter_limit));
  PixelWriter writer(dc, dc.state().rop2);
  fill_aliased(writer, dc.surface(), stroke, FillRule::NonZero, BrushSource(pen.brush, dc.state()));
}

void stroke_wide(DeviceContext& dc, const DevicePath& outline, const PenTraits& pen, double scale) {
  const double width = device_pen_width(pen, scale);
  const agg::rect_d visible = visible_box(dc.surface(), width + kScanClipMargin);
  agg::path_storage path = outline.to_agg(&visible);
  // Pixel (x, y) is the point (x, y): move it onto AGG's pixel centre, less
  // a subpixel step so that an edge on the boundary takes only one side.
  agg::trans_affine_translation to_centres(kPointToCentre, kPointToCentre);
  agg::conv_transform<agg::path_storage> moved(path, to_centres);
  agg::conv_curve<agg::conv_transform<agg::path_storage>> curves(moved);
  const std::vector<double> runs = pen.is_geometric() ? wide_pattern(pen, width) : std::vector<double>{};
  if (runs.empty()) {
    fill_stroke(dc, curves, pen, width);
    return;
  }
  agg::path_storage flattened;
  flattened.concat_path(curves);
  std::optional<agg::path_storage> dashes = clipped_dashes(flattened, runs, visible);
  if (dashes) {
    fill_stroke(dc, *dashes, pen, width);
  } else {
    fill_stroke(dc, flattened, pen, width);
  }
}

}  // namespace

// Wide pens are a whole number of device pixels wide, as GDI draws them.
double device_pen_width(const PenTraits& pen, double scale) { return std::round(pen.width * scale); }

bool draws_cosmetic(const PenTraits& pen, double scale) { return pen.width == 0 || device_pen_width(pen, scale) <= 1.0; }

void stroke_outline(DeviceContext& dc, const DevicePath& outline, const PenTraits& pen, double scale) {
  if (pen.is_null() || outline.vertices().empty()) return;
  if (draws_cosmetic(pen, scale)) {
    stroke_cosmetic(dc, outline, pen);
  } else {
    stroke_wide(dc, outline, pen, scale);
  }
}

}  // namespace velmora::platform
