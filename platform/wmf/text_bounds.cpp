#include "wmf/text_bounds.h"

#include "text/text_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora::platform::wmf {
namespace {

// The platform keeps its mapping's scale in single precision; one too
// large or too small for that stays as it is.
double single_precision(double scale) {
  const bool representable =
      std::fabs(scale) <= std::numeric_limits<float>::max() && std::fabs(scale) >= std::numeric_limits<float>::min();
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

// The run's box as the platform's conversion counts it, in logical units
// taken as running down whatever the mapping: the run's width by its
// advances and its cell height, placed by the alignment, one unit more on
// each side away from the reference point (both sides of a centred run,
// and with TA_BASELINE above and below); TA_BASELINE reaches a whole cell
// above the baseline.
agg::rect_d counted_box(POINT reference, UINT align, double width, double cell, double descent) {
  const double x = reference.x;
  const double y = reference.y;
  agg::rect_d box{x, y, x + width + 1, y + cell + 1};
  if ((align & TA_CENTER) == TA_CENTER) {
    const double half = std::floor((width + 2) / 2);
    box.x1 = x - half;
    box.x2 = x + half;
  } else if (align & TA_RIGHT) {
    box.x1 = x - width - 1;
    box.x2 = x;
  }
  if ((align & TA_BASELINE) == TA_BASELINE) {
    box.y1 = y - cell - 1;
    box.y2 = y + descent + 1;
  } else if (align & TA_BOTTOM) {
    box.y1 = y - cell - 1;
    box.y2 = y;
  }
  return box;
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
  const std::optional<TextGeometry> geometry = layout_text(in);
  if (!geometry) return std::nullopt;
  TextRunMeasure measure;
  measure.advances = whole_advances(geometry->reported_advances, page.sx);
  double width = 0;
  for (std::int32_t advance : run.dx.empty() ? std::span<const std::int32_t>(measure.advances) : run.dx)
    width += advance;
  // An empty string counts as a box of no size.
  const bool empty = run.codes.empty();
  measure.box = counted_box(run.reference, run.align, width, empty ? 0 : std::round(geometry->cell_height),
                            empty ? 0 : std::round(geometry->descent));
  return measure;
}

}  // namespace velmora::platform::wmf
