// Laying out one text output call: from the request (font, string, advances,
// alignment, the DC's text state and its two transforms) to device-space
// geometry that the player fills. The layout knows nothing of surfaces or
// clipping beyond handing back the ETO_CLIPPED box; the player paints, in
// order, the opaque rectangle and the cell background in the background
// colour, then the glyphs and the lines in the text colour, with the
// non-zero rule: glyphs anti-aliased unless aliased_glyphs says otherwise,
// everything else aliased.
//
// Text space, in which the layout works: origin at the reference point, x
// along the baseline, y down (as in MM_TEXT), in the font's logical units.
#pragma once

#include "common/limits.h"
#include "text/font_request.h"

#include <agg_basics.h>
#include <agg_path_storage.h>
#include <agg_trans_affine.h>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace velmora::platform {

struct TextLayoutInput {
  FontRequest font;
  std::u32string_view codes;       // code points, or glyph indices when glyph_indices
  bool glyph_indices = false;      // ETO_GLYPH_INDEX
  std::span<const double> dx;      // logical advance of each character, or empty for the font's own
  std::span<const double> dy;      // ETO_PDY: logical advance of each character up the font's vertical, or empty
  double x = 0, y = 0;             // reference point, logical units
  UINT align = TA_LEFT | TA_TOP;   // TA_* bits
  double char_extra = 0;           // SetTextCharacterExtra, logical units; only without dx
  int break_extra = 0;             // SetTextJustification, logical units; only without dx
  int break_count = 0;
  bool advanced_mode = false;      // GM_ADVANCED: glyphs follow the world transform
  agg::trans_affine world;         // world to page
  agg::trans_affine page;          // page to device (window/viewport mapping)
  // GM_ADVANCED: device pixels per logical unit of the window/viewport
  // mapping alone. The platform realises such a font at this size and turns
  // it by the rest of the transform, so the font's gasp table is read here.
  double realised_scale = 1;
  bool opaque_background = false;  // background mode OPAQUE: fill the text's cell box
  std::optional<RECTL> opaque_rect;  // ETO_OPAQUE, logical units
  std::optional<RECTL> clip_rect;    // ETO_CLIPPED, logical units
  // The device box that can show (the surface): glyphs wholly outside it are
  // left out, so that a long string running off the surface costs only what
  // shows. Without it every glyph is laid out.
  std::optional<agg::rect_d> visible;
};

struct TextGeometry {
  agg::path_storage glyphs;       // flattened, closed; text colour
  bool aliased_glyphs = false;    // fill the glyphs aliased: the font wants no greys at this size
  agg::path_storage lines;        // underline and strike-out; text colour
  agg::path_storage background;   // cell box when opaque_background; background colour
  agg::path_storage opaque_rect;  // ETO_OPAQUE rectangle; background colour
  std::optional<agg::rect_d> clip_box;  // device box that limits glyphs, lines and background
  double end_x = 0, end_y = 0;    // logical: the current position after the call, for TA_UPDATECP
  // logical: each glyph's advance along the baseline as the run is measured
  // (without an advance array: unhinted, in whole device pixels)
  std::vector<double> advances;
  // logical: each glyph's advance as the platform reports it to a program
  // (without an advance array: hinted at the device size, as for grey
  // levels even where the glyphs are drawn two-level)
  std::vector<double> reported_advances;
  // logical: the font's cell height as the platform reports it (hinted: its
  // whole device pixels carried back at once), and the part of it below
  // the baseline as the run is aligned by it
  double cell_height = 0, descent = 0;
};

// Empty when nothing can be drawn (no font at all, a transform that is not
// invertible or not finite, a size out of range).
std::optional<TextGeometry> layout_text(const TextLayoutInput& input);

using limits::kMaxGlyphsPerRun;

// The cell height, in device pixels, of a font whose height is 0: the size
// of the platform's default GUI font.
inline constexpr double kDefaultCellHeightPixels = 16;

}  // namespace velmora::platform
