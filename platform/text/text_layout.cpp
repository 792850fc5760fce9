#include "text/text_layout.h"

#include "common/limits.h"
#include "text/face_cache.h"
#include "text/font_face.h"
#include "text/font_matcher.h"
#include "text/pixel_axis.h"
#include "text/text_space.h"

#include <agg_conv_curve.h>

#include FT_ADVANCES_H

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace velmora::platform {
namespace {

using limits::kMinDeviceEm;
using limits::kMaxDeviceEm;

constexpr auto kMaxPathVertices = limits::kMaxTextPathVertices;

constexpr char32_t kBreakCharacter = U' ';

using limits::kMaxHintedPpem;

// A scaled em this close below a whole pixel count is taken as that count:
// the scale is a product of ratios that need not come out exact.
constexpr double kWholePixelTolerance = 1e-6;

// Below this share of the scale, a transform's skew terms count as zero.
constexpr double kAxisAlignedTolerance = 1e-9;

// The font as this run draws it: metrics in font units and the scales that
// turn font units into text-space (logical) units.
struct RunFont {
  FaceMetrics metrics;
  double scale_y = 0;  // text units per font unit, vertically
  double scale_x = 0;  // horizontally; differs when the request sets a width
  double ascent = 0;   // text units
  double descent = 0;
  double cell_height = 0;        // text units; hinted, its whole pixels carried back at once
  double pixels_per_unit_x = 0;  // device pixels per text unit along the baseline, when hinted
  double hinted_ppem_x = 0;      // the hinted size across, in pixels per em
  GlyphStyle style;
};

double em_height(const FontRequest& font, const FaceMetrics& m, const agg::trans_affine& linear) {
  if (font.height < 0) return -static_cast<double>(font.height);
  const double cell = font.height > 0 ? font.height : kDefaultCellHeightPixels / y_axis_scale(linear);
  return cell * m.units_per_em / m.cell_height();
}

// Text-space x units per y unit that keep glyphs in their own proportions on
// the device. In GM_COMPATIBLE a font is realised on the device by the
// mapping's vertical scale alone, its width too, and keeps its shape even
// when the mapping stretches one axis; in GM_ADVANCED the glyphs stretch
// with the transform.
double natural_aspect(const TextLayoutInput& in, const agg::trans_affine& linear) {
  return in.advanced_mode ? 1.0 : y_axis_scale(linear) / x_axis_scale(linear);
}

std::optional<RunFont> run_font(FT_Face face, const TextLayoutInput& in, const MatchedFont& matched,
                                const agg::trans_affine& linear) {
  RunFont run;
  run.metrics = face_metrics(face);
  if (run.metrics.cell_height() <= 0) return std::nullopt;
  const double em = em_height(in.font, run.metrics, linear);
  const double device_em = em * y_axis_scale(linear);
  if (!(device_em >= kMinDeviceEm && device_em <= kMaxDeviceEm)) return std::nullopt;
  run.scale_y = em / run.metrics.units_per_em;
  const double across = in.font.width != 0 ? std::abs(static_cast<double>(in.font.width)) / run.metrics.average_width
                                           : run.scale_y;
  run.scale_x = across * natural_aspect(in, linear);
  run.style = {matched.synthetic_bold, matched.synthetic_italic};
  run.ascent = run.metrics.ascent * run.scale_y;
  run.descent = run.metrics.descent * run.scale_y;
  run.cell_height = run.ascent + run.descent;
  return run;
}

bool is_upright(const agg::trans_affine& m) {
  const double tolerance = kAxisAlignedTolerance * (std::fabs(m.sx) + std::fabs(m.sy));
  return std::fabs(m.shx) <= tolerance && std::fabs(m.shy) <= tolerance && m.sx > 0 && m.sy > 0;
}

// The em in whole pixels as the platform realises a font: its height is
// carried to the device and cut down to whole pixels; a cell height then
// gives the em to the nearest pixel.
double realised_ppem(const FontRequest& font, const FaceMetrics& metrics, double exact_ppem) {
  if (font.height < 0) return std::floor(exact_ppem + kWholePixelTolerance);
  const double cell_per_em = metrics.cell_height() / metrics.units_per_em;
  const double device_cell = std::floor(exact_ppem * cell_per_em + kWholePixelTolerance);
  return std::round(device_cell / cell_per_em);
}

// Turned glyphs stay unhinted, but take as many levels as the font's gasp
// table gives at their realised size, as the platform's turned text does:
// two-level at the small sizes where upright text is two-level too.
void choose_turned_levels(FT_Face face, const FontRequest& font, RunFont& run, const agg::trans_affine& glyph_linear,
                          double gasp_ppem) {
  const double across = std::hypot(glyph_linear.shx, glyph_linear.sy);  // the text's y axis on the device
  const double ppem =
      gasp_ppem > 0 ? gasp_ppem : realised_ppem(font, run.metrics, run.scale_y * run.metrics.units_per_em * across);
  if (ppem < 1 || ppem > kMaxHintedPpem) return;
  run.style.monochrome = font.wants_aliased() || !grey_at(face, ppem);
}

// Upright glyphs are drawn as the platform draws them: the em cut down to
// whole device pixels, outlines and advances hinted at that size, and the
// ascent and descent in whole pixels; two-level where the font's quality or
// its gasp table asks for no greys. In GM_ADVANCED (gasp_ppem > 0) the font
// is hinted at its realised size and the hinted glyphs are scaled to the
// device, as the platform realises it before the world transform.
// glyph_linear maps text space to device for the glyphs (their own turn
// included).
void apply_hinting(FT_Face face, const FontRequest& font, RunFont& run, const agg::trans_affine& glyph_linear,
                   double gasp_ppem) {
  if (run.style.oblique) return;
  if (!is_upright(glyph_linear)) {
    choose_turned_levels(face, font, run, glyph_linear, gasp_ppem);
    return;
  }
  const double exact_ppem = run.scale_y * run.metrics.units_per_em * glyph_linear.sy;
  const double ppem = gasp_ppem > 0 ? gasp_ppem : realised_ppem(font, run.metrics, exact_ppem);
  if (ppem < 1 || ppem > kMaxHintedPpem) return;
  const double grow = gasp_ppem > 0 ? exact_ppem / gasp_ppem : 1.0;
  const double fit = ppem * grow / exact_ppem;
  // A font given its own width keeps it; otherwise the width follows the em.
  const double fit_x = font.width != 0 ? 1.0 : fit;
  const double ppem_x = run.scale_x * fit_x * run.metrics.units_per_em * glyph_linear.sx / grow;
  if (!set_hinted_size(face, ppem_x, ppem)) return;
  run.scale_x *= fit_x;
  run.scale_y *= fit;
  // The platform aligns by the font's metrics as the program reads them:
  // whole device pixels, then whole logical units.
  const double ascent_pixels = std::round(run.metrics.ascent * ppem / run.metrics.units_per_em);
  const double descent_pixels = std::round(run.metrics.descent * ppem / run.metrics.units_per_em);
  run.ascent = std::round(ascent_pixels * grow / glyph_linear.sy);
  run.descent = std::round(descent_pixels * grow / glyph_linear.sy);
  run.cell_height = std::round((ascent_pixels + descent_pixels) * grow / glyph_linear.sy);
  run.pixels_per_unit_x = glyph_linear.sx / grow;
  run.hinted_ppem_x = ppem_x;
  run.style.hinted_ppem = ppem;
  run.style.grow = grow;
  run.style.monochrome = font.wants_aliased() || !grey_at(face, ppem);
}

// In GM_ADVANCED the font's gasp table is read at the size the platform
// realises the font at before turning it; 0 elsewhere: the hinted size.
double gasp_ppem(const TextLayoutInput& in, const RunFont& run) {
  if (!in.advanced_mode) return 0;
  return std::max(1.0, std::round(run.scale_y * run.metrics.units_per_em * in.realised_scale));
}

std::vector<FT_UInt> glyph_ids(FT_Face face, const TextLayoutInput& in) {
  std::vector<FT_UInt> ids;
  ids.reserve(in.codes.size());
  if (in.glyph_indices) {
    for (char32_t c : in.codes) ids.push_back(c < static_cast<char32_t>(face->num_glyphs) ? c : 0);
    return ids;
  }
  const GlyphMapper mapper(face);
  for (char32_t c : in.codes) ids.push_back(mapper.glyph_for(c));
  return ids;
}

// The run's glyphs in the chosen face, and for each glyph it lacks the font
// that carries it (font linking): link[i] indexes linked_files, or is
// kNotLinked. Glyph indices and symbol fonts are never linked: their codes
// mean nothing in another face.
constexpr std::size_t kNotLinked = static_cast<std::size_t>(-1);

struct RunGlyphs {
  std::vector<FT_UInt> ids;
  std::vector<std::size_t> link;
  std::vector<FontFile> linked_files;
};

bool is_surrogate(char32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

bool wants_link(char32_t code) {
  return code >= U' ' && !(code >= 0xF000 && code <= 0xF0FF) && !is_surrogate(code);
}

RunGlyphs find_glyphs(const FontFile& primary, const TextLayoutInput& in) {
  RunGlyphs g;
  bool symbol = false;
  with_face(primary, [&](FT_Face face) {
    g.ids = glyph_ids(face, in);
    symbol = GlyphMapper(face).is_symbol_font();
  });
  g.link.assign(g.ids.size(), kNotLinked);
  if (in.glyph_indices || symbol) return g;
  for (std::size_t i = 0; i < g.ids.size(); ++i) {
    if (g.ids[i] != 0 || !wants_link(in.codes[i])) continue;
    const std::optional<FontFile> file = linked_font(in.codes[i]);
    if (!file || *file == primary) continue;
    const auto known = std::find(g.linked_files.begin(), g.linked_files.end(), *file);
    g.link[i] = static_cast<std::size_t>(known - g.linked_files.begin());
    if (known == g.linked_files.end()) g.linked_files.push_back(*file);
  }
  return g;
}

// The justification share of the n-th break character: the extra divided
// evenly, the remainder going one unit each to the first breaks.
double break_share(const TextLayoutInput& in, int nth_break) {
  if (in.break_count <= 0) return 0;
  const int share = in.break_extra / in.break_count;
  const int remainder = in.break_extra % in.break_count;
  return share + (nth_break < std::abs(remainder) ? (remainder > 0 ? 1 : -1) : 0);
}

// A glyph's own advance, in text units.
double font_advance(FT_Face face, const RunFont& run, FT_UInt glyph) {
  if (run.style.hinted_ppem > 0) return hinted_advance(face, glyph, run.style) / run.pixels_per_unit_x;
  FT_Fixed advance = 0;
  FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING, &advance);
  return static_cast<double>(advance) * run.scale_x;
}

// Each glyph's advance as the platform measures a run (to align it, for
// its extent, for a converted record's spacing), in text units: without an
// advance array, hinted glyphs are drawn at their hinted advances but
// measured at their unhinted ones, each rounded to whole device pixels.
std::vector<double> measured_advances(FT_Face face, const RunFont& run, const TextLayoutInput& in,
                                      const RunGlyphs& glyphs, const std::vector<double>& own_advances,
                                      const std::vector<double>& drawn) {
  std::vector<double> measured = drawn;
  if (!in.dx.empty() || run.style.hinted_ppem <= 0) return measured;
  const double pixels_per_font_unit = run.scale_x * run.pixels_per_unit_x;
  for (std::size_t i = 0; i < measured.size(); ++i) {
    if (glyphs.link[i] != kNotLinked) continue;
    FT_Fixed advance = 0;
    FT_Get_Advance(face, glyphs.ids[i], FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING, &advance);
    measured[i] += std::round(static_cast<double>(advance) * pixels_per_font_unit) / run.pixels_per_unit_x -
                   own_advances[i];
  }
  return measured;
}

// Each glyph's advance as the platform reports it (a text extent), in text
// units: two-level glyphs move by their two-level advances, but are
// reported at the advances hinting gives them for grey levels.
std::vector<double> reported_advances(FT_Face face, const RunFont& run, const TextLayoutInput& in,
                                      const RunGlyphs& glyphs, const std::vector<double>& own_advances,
                                      const std::vector<double>& drawn) {
  std::vector<double> reported = drawn;
  if (!in.dx.empty() || run.style.hinted_ppem <= 0 || !run.style.monochrome) return reported;
  GlyphStyle grey = run.style;
  grey.monochrome = false;
  for (std::size_t i = 0; i < reported.size(); ++i) {
    if (glyphs.link[i] != kNotLinked) continue;
    reported[i] += hinted_advance(face, glyphs.ids[i], grey) / run.pixels_per_unit_x - own_advances[i];
  }
  return reported;
}

// Each glyph's advance along the baseline, from pen to pen.
std::vector<double> pen_steps(const std::vector<agg::point_d>& pens) {
  std::vector<double> steps;
  steps.reserve(pens.size());
  for (std::size_t i = 1; i < pens.size(); ++i) steps.push_back(pens[i].x - pens[i - 1].x);
  return steps;
}

// The pen position of each glyph's origin, plus the end of the run, in text
// space; own_advances are the glyphs' own advances, in text units.
std::vector<agg::point_d> pen_positions(const TextLayoutInput& in, const std::vector<double>& own_advances) {
  std::vector<agg::point_d> pens{{0, 0}};
  pens.reserve(own_advances.size() + 1);
  int breaks = 0;
  for (std::size_t i = 0; i < own_advances.size(); ++i) {
    double dx = 0;
    if (!in.dx.empty()) {
      dx = in.dx[i];
    } else {
      dx = own_advances[i] + in.char_extra;
      if (!in.glyph_indices && in.codes[i] == kBreakCharacter) dx += break_share(in, breaks++);
    }
    // A y advance moves up the font's vertical; text space runs down.
    const double dy = in.dy.empty() ? 0 : in.dy[i];
    pens.push_back({pens.back().x + dx, pens.back().y - dy});
  }
  return pens;
}

agg::point_d alignment_offset(UINT align, const RunFont& run, const agg::point_d& end) {
  agg::point_d offset{0, 0};
  if ((align & TA_CENTER) == TA_CENTER) {
    offset = {-end.x / 2, -end.y / 2};
  } else if (align & TA_RIGHT) {
    offset = {-end.x, -end.y};
  }
  if ((align & TA_BASELINE) == TA_BASELINE) return offset;
  if (align & TA_BOTTOM)
    offset.y -= run.descent;
  else
    offset.y += run.ascent;
  return offset;
}

// The two device axes of an upright run, for aligning it in whole pixels.
struct PixelAxes {
  PixelAxis x;
  PixelAxis y;
};

// Upright hinted runs are aligned as the platform aligns them, in whole
// device pixels: the width, ascent or descent carried to the device as a
// length from the logical origin; a centred run moved by half its width in
// pixels, cut down to a whole pixel.
agg::point_d alignment_in_pixels(UINT align, const RunFont& run, const PixelAxes& axes, const agg::point_d& end) {
  agg::point_d offset{0, 0};
  if ((align & TA_CENTER) == TA_CENTER) {
    offset = {-std::floor(whole_length(axes.x, end.x) / 2), -std::floor(whole_length(axes.y, end.y) / 2)};
  } else if (align & TA_RIGHT) {
    offset = {-whole_length(axes.x, end.x), -whole_length(axes.y, end.y)};
  }
  if ((align & TA_BASELINE) == TA_BASELINE) return offset;
  if (align & TA_BOTTOM)
    offset.y -= whole_length(axes.y, run.descent);
  else
    offset.y += whole_length(axes.y, run.ascent);
  return offset;
}

// Thin lines keep at least one device pixel, as the platform's do.
double line_thickness(double font_units, const RunFont& run, const agg::trans_affine& linear) {
  return std::max(font_units * run.scale_y, 1.0 / y_axis_scale(linear));
}

struct Placement {
  agg::trans_affine text_to_device;  // text space (alignment included) to device
  agg::trans_affine glyph_turn;      // the glyphs' own turn against the baseline
};

// Hinted glyphs sit on whole device pixels, as the platform places them.
agg::trans_affine glyph_to_device(const RunFont& run, const Placement& place, const agg::point_d& pen) {
  if (run.style.hinted_ppem > 0) {
    double x = pen.x;
    double y = pen.y;
    place.text_to_device.transform(&x, &y);
    agg::trans_affine m = agg::trans_affine_scaling(run.style.grow / 64, -run.style.grow / 64);  // 26.6 pixels, y up
    m.multiply(agg::trans_affine_translation(std::round(x), std::round(y)));
    return m;
  }
  agg::trans_affine m = agg::trans_affine_scaling(run.scale_x, -run.scale_y);
  m.multiply(place.glyph_turn);
  m.multiply(agg::trans_affine_translation(pen.x, pen.y));
  m.multiply(place.text_to_device);
  return m;
}

// The run's glyphs as they are gathered: outlines with their curves, to be
// flattened, and whole-pixel boxes, which have none and go straight to the
// run's path.
struct GlyphSink {
  agg::path_storage& curves;
  agg::path_storage& boxes;
  unsigned total_vertices() const { return curves.total_vertices() + boxes.total_vertices(); }
};

// Two-level glyphs come from the font's own rasteriser as whole pixels, so
// strokes thinner than a pixel keep their dropout pixels.
void append_glyph(FT_Face face, const RunFont& run, const Placement& place, FT_UInt id, const agg::point_d& pen,
                  GlyphSink& out) {
  const agg::trans_affine to_device = glyph_to_device(run, place, pen);
  if (run.style.monochrome && run.style.hinted_ppem > 0 && run.style.grow == 1.0) {
    append_glyph_pixels(face, id, run.style, std::lround(to_device.tx), std::lround(to_device.ty), out.boxes);
    return;
  }
  append_glyph_outline(face, id, run.style, to_device, out.curves);
}

// Whether a glyph at this pen position may touch the visible box: the
// face's bounding box of all its glyphs, grown by half its size for
// synthetic bold and italic, mapped to the device.
bool may_show(FT_Face face, const RunFont& run, const Placement& place, const agg::point_d& pen,
              const std::optional<agg::rect_d>& visible) {
  if (!visible) return true;
  const FT_BBox& b = face->bbox;
  const double grow_x = (b.xMax - b.xMin) / 2.0;
  const double grow_y = (b.yMax - b.yMin) / 2.0;
  const agg::trans_affine to_device = glyph_to_device(run, place, pen);
  agg::rect_d box{1e300, 1e300, -1e300, -1e300};
  for (const double x : {b.xMin - grow_x, b.xMax + grow_x}) {
    for (const double y : {b.yMin - grow_y, b.yMax + grow_y}) {
      double dx = x, dy = y;
      to_device.transform(&dx, &dy);
      box = {std::min(box.x1, dx), std::min(box.y1, dy), std::max(box.x2, dx), std::max(box.y2, dy)};
    }
  }
  return !(box.x2 < visible->x1 || box.x1 > visible->x2 || box.y2 < visible->y1 || box.y1 > visible->y2);
}

// Appends the glyphs at the given positions of the run, uncurved, leaving
// out those that cannot show.
void append_glyphs(FT_Face face, const RunFont& run, const Placement& place, const std::vector<FT_UInt>& ids,
                   const std::vector<agg::point_d>& pens, const std::vector<std::size_t>& which,
                   const std::optional<agg::rect_d>& visible, GlyphSink& out) {
  for (std::size_t i : which) {
    if (out.total_vertices() >= kMaxPathVertices) return;
    if (may_show(face, run, place, pens[i], visible)) append_glyph(face, run, place, ids[i], pens[i], out);
  }
}

void append_lines(const FontRequest& font, const RunFont& run, const agg::trans_affine& linear,
                  const Placement& place, double width, agg::path_storage& out) {
  const FaceMetrics& m = run.metrics;
  if (font.underline) {
    const double centre = -m.underline_centre * run.scale_y;
    const double half = line_thickness(m.underline_thickness, run, linear) / 2;
    append_box(out, place.text_to_device, 0, centre - half, width, centre + half);
  }
  if (font.strike_out) {
    const double centre = -m.strikeout_centre * run.scale_y;
    const double half = line_thickness(m.strikeout_thickness, run, linear) / 2;
    append_box(out, place.text_to_device, 0, centre - half, width, centre + half);
  }
}

// The box that a logical rectangle covers on the device.
agg::rect_d device_bounds(const RECTL& r, const agg::trans_affine& mapping) {
  agg::path_storage box;
  append_box(box, mapping, r.left, r.top, r.right, r.bottom);
  agg::rect_d bounds{1e300, 1e300, -1e300, -1e300};
  for (unsigned i = 0; i < box.total_vertices(); ++i) {
    double x, y;
    if (!agg::is_vertex(box.vertex(i, &x, &y))) continue;
    bounds = {std::min(bounds.x1, x), std::min(bounds.y1, y), std::max(bounds.x2, x), std::max(bounds.y2, y)};
  }
  return bounds;
}

// Where the current position goes: past the run for left alignment, before
// it for right alignment, unchanged for centred text.
agg::point_d end_position(const TextLayoutInput& in, const agg::trans_affine& mapping, const agg::trans_affine& linear,
                          const agg::point_d& end) {
  const double sign = (in.align & TA_CENTER) == TA_CENTER ? 0.0 : (in.align & TA_RIGHT) ? -1.0 : 1.0;
  double x = end.x * sign;
  double y = end.y * sign;
  linear.transform(&x, &y);
  double ox = in.x;
  double oy = in.y;
  mapping.transform(&ox, &oy);
  x += ox;
  y += oy;
  mapping.inverse_transform(&x, &y);
  return {x, y};
}

bool valid_input(const TextLayoutInput& in) {
  if (in.codes.size() > kMaxGlyphsPerRun) return false;
  if (!in.dx.empty() && in.dx.size() != in.codes.size()) return false;
  return in.dy.empty() || in.dy.size() == in.codes.size();
}

struct LayoutContext {
  const TextLayoutInput& in;
  agg::trans_affine mapping;  // logical to device
  agg::trans_affine linear;   // text space to device, without the translation
};

// The axes of an upright run: the logical origin's device position, and
// the run's scale signed as the mapping runs on that axis.
PixelAxes pixel_axes(const LayoutContext& ctx) {
  const auto along = [](double scale, double mapping_scale) { return mapping_scale < 0 ? -scale : scale; };
  return {{ctx.mapping.tx, along(ctx.linear.sx, ctx.mapping.sx)},
          {ctx.mapping.ty, along(ctx.linear.sy, ctx.mapping.sy)}};
}

// The chosen face's run as a linked face draws its share: the same em and
// hinted size, the face's own outlines and advances; the ascent and descent
// that place the run stay the chosen face's.
RunFont linked_run(FT_Face face, const RunFont& base, const FontRequest& font) {
  RunFont run = base;
  run.metrics = face_metrics(face);
  const double em_ratio = base.metrics.units_per_em / run.metrics.units_per_em;
  run.scale_y = base.scale_y * em_ratio;
  run.scale_x = base.scale_x * em_ratio;
  run.style.embolden = font.wants_bold() && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
  run.style.oblique = font.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
  if (base.style.hinted_ppem > 0 && !set_hinted_size(face, base.hinted_ppem_x, base.style.hinted_ppem))
    run.style.hinted_ppem = 0;
  return run;
}

// The positions of the run that face `link` draws.
std::vector<std::size_t> glyphs_of(const RunGlyphs& glyphs, std::size_t link) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < glyphs.link.size(); ++i)
    if (glyphs.link[i] == link) out.push_back(i);
  return out;
}

// Each glyph's own advance in text units; linked glyphs get their index in
// their own face here. A linked face that cannot be opened gives its glyphs
// back to the chosen face.
std::vector<double> own_advances(FT_Face face, const RunFont& run, const FontRequest& font,
                                 const std::u32string_view codes, RunGlyphs& glyphs) {
  std::vector<double> advances(glyphs.ids.size(), 0.0);
  for (std::size_t k = 0; k < glyphs.linked_files.size(); ++k) {
    const std::vector<std::size_t> mine = glyphs_of(glyphs, k);
    const bool opened = with_face(glyphs.linked_files[k], [&](FT_Face linked) {
      const RunFont linked_font_run = linked_run(linked, run, font);
      const GlyphMapper mapper(linked);
      for (std::size_t i : mine) {
        glyphs.ids[i] = mapper.glyph_for(codes[i]);
        advances[i] = font_advance(linked, linked_font_run, glyphs.ids[i]);
      }
    });
    if (!opened)
      for (std::size_t i : mine) glyphs.link[i] = kNotLinked;
  }
  for (std::size_t i : glyphs_of(glyphs, kNotLinked)) advances[i] = font_advance(face, run, glyphs.ids[i]);
  return advances;
}

void append_run_glyphs(FT_Face face, const RunFont& run, const FontRequest& font, const Placement& place,
                       const RunGlyphs& glyphs, const std::vector<agg::point_d>& pens,
                       const std::optional<agg::rect_d>& visible, agg::path_storage& out) {
  agg::path_storage curves;
  GlyphSink sink{curves, out};
  append_glyphs(face, run, place, glyphs.ids, pens, glyphs_of(glyphs, kNotLinked), visible, sink);
  for (std::size_t k = 0; k < glyphs.linked_files.size(); ++k) {
    with_face(glyphs.linked_files[k], [&](FT_Face linked) {
      append_glyphs(linked, linked_run(linked, run, font), place, glyphs.ids, pens, glyphs_of(glyphs, k), visible,
                    sink);
    });
  }
  agg::conv_curve<agg::path_storage> flattened(curves);
  out.concat_path(flattened);
}

void lay_out_in_face(FT_Face face, const LayoutContext& ctx, const MatchedFont& matched, RunGlyphs& glyphs,
                     std::optional<TextGeometry>& result) {
  const TextLayoutInput& in = ctx.in;
  std::optional<RunFont> run = run_font(face, in, matched, ctx.linear);
  if (!run) return;
  Placement place;
  if (in.advanced_mode) place.glyph_turn = rotation_tenths(static_cast<double>(in.font.orientation) - in.font.escapement);
  apply_hinting(face, in.font, *run, place.glyph_turn * ctx.linear, gasp_ppem(in, *run));
  const std::vector<double> advances = own_advances(face, *run, in.font, in.codes, glyphs);
  const std::vector<agg::point_d> pens = pen_positions(in, advances);
  const agg::point_d end = pens.back();
  const std::vector<double> drawn = pen_steps(pens);
  const std::vector<double> measured = measured_advances(face, *run, in, glyphs, advances, drawn);
  double measured_width = 0;
  for (double advance : measured) measured_width += advance;
  agg::point_d offset = alignment_offset(in.align, *run, {measured_width, end.y});
  if (run->style.hinted_ppem > 0) {
    const agg::point_d pixels = alignment_in_pixels(in.align, *run, pixel_axes(ctx), {measured_width, end.y});
    offset = {pixels.x / ctx.linear.sx, pixels.y / ctx.linear.sy};
  }
  double ox = in.x;
  double oy = in.y;
  ctx.mapping.transform(&ox, &oy);
  place.text_to_device = agg::trans_affine_translation(offset.x, offset.y);
  place.text_to_device.multiply(ctx.linear);
  place.text_to_device.multiply(agg::trans_affine_translation(ox, oy));

  TextGeometry& g = result.emplace();
  g.aliased_glyphs = run->style.monochrome || in.font.wants_aliased();
  append_run_glyphs(face, *run, in.font, place, glyphs, pens, in.visible, g.glyphs);
  append_lines(in.font, *run, ctx.linear, place, measured_width, g.lines);
  if (in.opaque_background)
    append_box(g.background, place.text_to_device, 0, -run->ascent, measured_width, run->descent);
  g.advances = measured;
  g.reported_advances = reported_advances(face, *run, in, glyphs, advances, drawn);
  g.cell_height = run->cell_height;
  g.descent = run->descent;
  const agg::point_d cp = end_position(in, ctx.mapping, ctx.linear, end);
  g.end_x = cp.x;
  g.end_y = cp.y;
}

// Fills `result` (left empty when nothing can be drawn).
void lay_out(const TextLayoutInput& in, std::optional<TextGeometry>& result) {
  if (!valid_input(in)) return;
  const LayoutContext ctx{in, in.world * in.page,
                          text_linear(in.font.escapement, in.advanced_mode, in.world, in.page)};
  if (!is_usable(ctx.mapping) || !is_usable(ctx.linear)) return;
  const std::optional<MatchedFont> matched = match_font(in.font);
  if (!matched) return;
  // Linked fonts are looked up before the chosen face is held: the matcher
  // itself opens no face, so its lock and the face cache's never nest the
  // other way round.
  RunGlyphs glyphs = find_glyphs(matched->file, in);
  if (glyphs.ids.size() == in.codes.size())
    with_face(matched->file, [&](FT_Face face) { lay_out_in_face(face, ctx, *matched, glyphs, result); });
  if (!result) {
    if (!in.opaque_rect) return;
    // An empty or undrawable string still paints its opaque rectangle.
    result.emplace();
    result->end_x = in.x;
    result->end_y = in.y;
  }
  if (in.opaque_rect) {
    const RECTL& r = *in.opaque_rect;
    append_box(result->opaque_rect, ctx.mapping, r.left, r.top, r.right, r.bottom);
  }
  if (in.clip_rect) result->clip_box = device_bounds(*in.clip_rect, ctx.mapping);
}

}  // namespace

std::optional<TextGeometry> layout_text(const TextLayoutInput& in) {
  // One result returned from one place, so that it is built in place: its
  // paths cannot be moved, only copied.
  std::optional<TextGeometry> result;
  lay_out(in, result);
  return result;
}

}  // namespace velmora::platform
