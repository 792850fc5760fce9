// Pens as the pixels stroke them: a pen's style, width, caps, joins and
// dashes, and the context's background mode and miter limit, turned into a
// stroke of raster/stroke.h.
#include "gdi/dc_paint.h"

#include "common/limits.h"
#include "raster/pixel_writer.h"
#include "raster/scan_fill.h"
#include "raster/stroke.h"

#include <algorithm>
#include <cmath>

namespace velmora::platform {
namespace {

// The pixel runs of the cosmetic styles PS_DASH .. PS_ALTERNATE; empty for solid.
std::vector<int> cosmetic_pattern(UINT line_style, const std::vector<DWORD>& user_dashes) {
  switch (line_style) {
    case PS_DASH:
      return {18, 6};
    case PS_DOT:
      return {3, 3};
    case PS_DASHDOT:
      return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
      return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE:
      return {1, 1};
    case PS_USERSTYLE: {
      std::vector<int> runs;
      for (DWORD d : user_dashes) runs.push_back(static_cast<int>(std::clamp<DWORD>(d, 1, 1 << 16)));
      if (runs.size() % 2 == 1) runs.insert(runs.end(), runs.begin(), runs.end());  // odd lists repeat
      return runs;
    }
    default:
      return {};
  }
}

std::optional<std::uint32_t> gap_color(const DcState& state) {
  if (state.bk_mode != OPAQUE) return std::nullopt;
  return pixel_color(state.bk_color, state);
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

StrokeStyle stroke_style(const DcState& state, const PenTraits& pen, double scale) {
  StrokeStyle style;
  style.cosmetic = draws_cosmetic(pen, scale);
  if (style.cosmetic) {
    style.color = pixel_color(pen.color, state);
    style.gap_color = gap_color(state);
    style.pixel_pattern = cosmetic_pattern(pen.line_style(), pen.dashes);
    return style;
  }
  style.width = device_pen_width(pen, scale);
  style.cap = cap_of(pen);
  style.join = join_of(pen);
  style.miter_limit = std::max(1.0f, state.miter_limit);
  if (pen.is_geometric()) style.dashes = wide_pattern(pen, style.width);
  style.brush = brush_source(pen.brush, state);
  return style;
}

}  // namespace

// Wide pens are a whole number of device pixels wide, as GDI draws them,
// and no wider than the limit.
double device_pen_width(const PenTraits& pen, double scale) {
  return std::min(std::round(pen.width * scale), limits::kMaxPenWidth);
}

bool draws_cosmetic(const PenTraits& pen, double scale) { return pen.width == 0 || device_pen_width(pen, scale) <= 1.0; }

void stroke_outline(DeviceContext& dc, const DevicePath& outline, const PenTraits& pen, double scale) {
  if (pen.is_null() || outline.vertices().empty()) return;
  const StrokeStyle style = stroke_style(dc.state(), pen, scale);
  // Huge curves are culled just beyond what the pen can reach.
  const double reach = style.cosmetic ? kScanClipMargin : style.width + kScanClipMargin;
  const agg::rect_d visible = visible_box(dc.surface(), reach);
  agg::path_storage path = outline.to_agg(&visible);
  stroke_outline(paint_target(dc), dc.state().rop2, path, style);
}

}  // namespace velmora::platform
