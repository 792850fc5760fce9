#include "wmf/text_bounds.h"

#include "text/text_layout.h"

#include <agg_bounding_rect.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora::platform::wmf {
namespace {

// The platform keeps its mapping's scale in single precision; one too
// large or too small for that stays as it is.
double single_precision(double scale) {
  const bool representable = std::fabs(scale) <= std::numeric_limits<float>::max() &&
                             std::fabs(scale) >= std::numeric_limits<float>::min();
  return representable ? static_cast<double>(static_cast<float>(scale)) : scale;
}

// Each advance to whole logical units on its own, as the platform carries a
// glyph's width in device pixels back to logical units: divided by that
// single-precision scale, halves away from zero (so 10 pixels at 0.8 a unit
// come out a hair short of 12.5 units, and go down).
std::vector<std::int32_t> whole_advances(const std::vector<double>& advances, double pixels_per_unit) {
  constexpr double kLargest = 0x3FFFFFFF;  // a tiny mapping can blow an advance up past any int
  const double held = single_precision(pixels_per_unit);
  std::vector<std::int32_t> whole;
  whole.reserve(advances.size());
  for (double advance : advances) {
    const double units = advance * pixels_per_unit / held;
    whole.push_back(static_cast<std::int32_t>(std::lround(std::clamp(units, -kLargest, kLargest))));
  }
  return whole;
}

// The descent below the baseline, added again on the ascent side.
void reach_a_cell_above_the_baseline(agg::rect_d& box, const TextLayoutInput& in) {
  double base_x = in.x;
  double base_y = in.y;
  in.page.transform(&base_x, &base_y);
  if (in.page.sy >= 0) {
    box.y1 -= box.y2 - base_y;
  } else {
    box.y2 += base_y - box.y1;
  }
}

}  // namespace

std::optional<TextRunMeasure> measure_text_run(const FontRequest& font, const TextRunPlacement& run,
                                               const agg::trans_affine& page) {
  const std::vector<double> given(run.dx.begin(), run.dx.end());
  TextLayoutInput in;
  in.font = font;
  in.font.escapement = 0;
  in.font.orientation = 0;
  in.codes = run.codes;
  in.dx = given;
  in.x = run.reference.x;
  in.y = run.reference.y;
  in.align = run.align;
  in.char_extra = run.spacing.char_extra;
  in.break_extra = run.spacing.break_extra;
  in.break_count = run.spacing.break_count;
  in.page = page;
  in.opaque_background = true;
  const std::optional<TextGeometry> geometry = layout_text(in);
  if (!geometry) return std::nullopt;
  TextRunMeasure measure;
  agg::path_storage background = geometry->background;
  if (!agg::bounding_rect_single(background, 0, &measure.cell_box.x1, &measure.cell_box.y1, &measure.cell_box.x2,
                                 &measure.cell_box.y2)) {
    return std::nullopt;
  }
  if ((run.align & TA_BASELINE) == TA_BASELINE) reach_a_cell_above_the_baseline(measure.cell_box, in);
  measure.advances = whole_advances(geometry->reported_advances, page.sx);
  return measure;
}

}  // namespace velmora::platform::wmf
