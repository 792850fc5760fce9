#include "wmf/text_bounds.h"

#include "text/text_layout.h"

#include <agg_bounding_rect.h>

#include <cmath>

namespace velmora::platform::wmf {
namespace {

// Whole logical units, each rounded where the run has got to, so that the
// rounding does not add up along the run.
std::vector<std::int32_t> whole_advances(const std::vector<double>& advances) {
  std::vector<std::int32_t> whole;
  whole.reserve(advances.size());
  double exact = 0;
  double rounded = 0;
  for (double advance : advances) {
    exact += advance;
    const double next = std::round(exact);
    whole.push_back(static_cast<std::int32_t>(next - rounded));
    rounded = next;
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
  measure.advances = whole_advances(geometry->advances);
  return measure;
}

}  // namespace velmora::platform::wmf
