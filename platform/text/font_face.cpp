#include "text/font_face.h"

#include "common/limits.h"
#include "text/glyph_cache.h"

#include FT_GASP_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora::platform {
namespace {

// Synthetic bold thickens strokes by 1/24 em, as FreeType's own emboldening
// does; synthetic italic slants by about 12 degrees.
constexpr double kEmboldenPerEm = 1.0 / 24.0;
constexpr double kObliqueShear = 0.2126;

// Where a face has no OS/2 table: strike-out at about the x-height's middle,
// line thickness about a fifteenth of the em.
constexpr double kFallbackStrikeoutPerEm = 0.26;
constexpr double kFallbackLinePerEm = 0.066;

constexpr char32_t kSymbolBase = 0xF000;

bool is_symbol_private_use(char32_t c) { return c >= kSymbolBase && c <= kSymbolBase + 0xFF; }

bool select_charmap(FT_Face face, FT_Encoding encoding) {
  for (int i = 0; i < face->num_charmaps; ++i) {
    if (face->charmaps[i]->encoding == encoding) return FT_Set_Charmap(face, face->charmaps[i]) == 0;
  }
  return false;
}

// OS/2 code-page bit 31: the symbol character set.
constexpr FT_ULong kSymbolCodePage = 1ul << 31;

bool only_symbol_code_page(FT_Face face) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  return os2 && os2->version != 0xFFFF && os2->ulCodePageRange1 == kSymbolCodePage;
}

void fill_from_os2(FaceMetrics& m, const TT_OS2& os2) {
  m.ascent = os2.usWinAscent;
  m.descent = os2.usWinDescent;
  m.average_width = os2.xAvgCharWidth;
  if (os2.yStrikeoutSize > 0) {
    m.strikeout_thickness = os2.yStrikeoutSize;
    m.strikeout_centre = os2.yStrikeoutPosition - os2.yStrikeoutSize / 2.0;
  }
}

}  // namespace

FaceMetrics face_metrics(FT_Face face) {
  FaceMetrics m;
  const double em = face->units_per_EM;
  m.units_per_em = em;
  m.ascent = face->ascender;
  m.descent = -face->descender;
  m.average_width = em / 2;
  m.strikeout_centre = em * kFallbackStrikeoutPerEm;
  m.strikeout_thickness = em * kFallbackLinePerEm;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) fill_from_os2(m, *os2);
  m.underline_thickness = face->underline_thickness > 0 ? face->underline_thickness : em * kFallbackLinePerEm;
  m.underline_centre = face->underline_position != 0 ? face->underline_position : -em / 10;
  if (m.average_width <= 0) m.average_width = em / 2;
  return m;
}

GlyphMapper::GlyphMapper(FT_Face face) : face_(face) {
  if (select_charmap(face, FT_ENCODING_MS_SYMBOL)) {
    kind_ = Kind::MicrosoftSymbol;
  } else if (select_charmap(face, FT_ENCODING_ADOBE_CUSTOM)) {
    kind_ = Kind::Type1Builtin;
  } else {
    if (only_symbol_code_page(face) && select_charmap(face, FT_ENCODING_APPLE_ROMAN)) read_byte_layout();
    select_charmap(face, FT_ENCODING_UNICODE);
  }
}

void GlyphMapper::read_byte_layout() {
  kind_ = Kind::SymbolCodePage;
  for (char32_t byte = 0x20; byte < by_byte_.size(); ++byte) by_byte_[byte] = FT_Get_Char_Index(face_, byte);
}

FT_UInt GlyphMapper::lookup(char32_t code) const { return FT_Get_Char_Index(face_, code); }

FT_UInt GlyphMapper::glyph_for(char32_t code) const {
  switch (kind_) {
    case Kind::MicrosoftSymbol:
      if (code <= 0xFF) {
        if (FT_UInt g = lookup(kSymbolBase + code)) return g;
      }
      return lookup(code);
    case Kind::Type1Builtin:
      return lookup(is_symbol_private_use(code) ? code - kSymbolBase : code);
    case Kind::SymbolCodePage: {
      if (FT_UInt g = lookup(code)) return g;
      const char32_t byte = is_symbol_private_use(code) ? code - kSymbolBase : code;
      return byte < by_byte_.size() ? by_byte_[byte] : 0;
    }
    case Kind::Unicode:
      break;
  }
  if (FT_UInt g = lookup(code)) return g;
  // Text written for a symbol font but drawn with a Unicode one.
  return is_symbol_private_use(code) ? lookup(code - kSymbolBase) : 0;
}

namespace {

struct DecomposeTarget {
  const agg::trans_affine* transform;
  agg::path_storage* path;
  bool open = false;

  void point(const FT_Vector* v, double& x, double& y) const {
    x = static_cast<double>(v->x);
    y = static_cast<double>(v->y);
    transform->transform(&x, &y);
  }
};

int move_to(const FT_Vector* to, void* user) {
  auto* t = static_cast<DecomposeTarget*>(user);
  if (t->open) t->path->close_polygon();
  double x, y;
  t->point(to, x, y);
  t->path->move_to(x, y);
  t->open = true;
  return 0;
}

int line_to(const FT_Vector* to, void* user) {
  auto* t = static_cast<DecomposeTarget*>(user);
  double x, y;
  t->point(to, x, y);
  t->path->line_to(x, y);
  return 0;
}

int conic_to(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* t = static_cast<DecomposeTarget*>(user);
  double cx, cy, x, y;
  t->point(control, cx, cy);
  t->point(to, x, y);
  t->path->curve3(cx, cy, x, y);
  return 0;
}

int cubic_to(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* t = static_cast<DecomposeTarget*>(user);
  double x1, y1, x2, y2, x, y;
  t->point(c1, x1, y1);
  t->point(c2, x2, y2);
  t->point(to, x, y);
  t->path->curve4(x1, y1, x2, y2, x, y);
  return 0;
}

}  // namespace

namespace {

FT_Int32 hinted_load_flags(const GlyphStyle& style) {
  return FT_LOAD_NO_BITMAP | (style.monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
}

FT_Pos hinted_embolden_strength(const GlyphStyle& style) {
  return static_cast<FT_Pos>(std::lround(style.hinted_ppem * 64 * kEmboldenPerEm));
}

}  // namespace

bool set_hinted_size(FT_Face face, double ppem_x, double ppem_y) {
  const auto x = static_cast<FT_F26Dot6>(std::lround(ppem_x * 64));
  const auto y = static_cast<FT_F26Dot6>(std::lround(ppem_y * 64));
  return x > 0 && y > 0 && FT_Set_Char_Size(face, x, y, 72, 72) == 0;  // 72 dpi: points are pixels
}

bool grey_at(FT_Face face, double ppem) {
  const FT_Int flags = FT_Get_Gasp(face, static_cast<FT_UInt>(ppem));
  return flags == FT_GASP_NO_TABLE || (flags & FT_GASP_DO_GRAY) != 0;
}

double hinted_advance(FT_Face face, FT_UInt glyph, const GlyphStyle& style) {
  // The advance comes before emboldening, as a fresh load gives it.
  const auto loaded = cached_glyph(face, glyph, hinted_load_flags(style), style.embolden, hinted_embolden_strength(style));
  if (!loaded) return 0;
  return std::round(static_cast<double>(loaded->advance().x) / 64.0);
}

bool append_glyph_outline(FT_Face face, FT_UInt glyph, const GlyphStyle& style,
                          const agg::trans_affine& font_to_device, agg::path_storage& out) {
  // Unhinted outlines come unscaled, in font units, so one open face serves
  // every size and transform; hinted ones at the size the face was given.
  const bool hinted = style.hinted_ppem > 0;
  const FT_Int32 flags = hinted ? hinted_load_flags(style) : FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
  const double em = hinted ? style.hinted_ppem * 64 : face->units_per_EM;
  const auto loaded =
      cached_glyph(face, glyph, flags, style.embolden, static_cast<FT_Pos>(std::lround(em * kEmboldenPerEm)));
  if (!loaded) return false;
  if (!loaded->has_outline()) return true;  // nothing to draw
  const FT_Outline outline = loaded->outline();
  agg::trans_affine transform = font_to_device;
  if (style.oblique) transform.premultiply(agg::trans_affine(1, 0, kObliqueShear, 1, 0, 0));
  DecomposeTarget target{&transform, &out};
  const FT_Outline_Funcs funcs{move_to, line_to, conic_to, cubic_to, 0, 0};
  if (FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &target) != 0) return false;
  if (target.open) out.close_polygon();
  return true;
}

namespace {

// The glyph as loaded for two-level drawing, emboldened when the style
// asks; null when there is no outline.
std::shared_ptr<const LoadedGlyph> mono_glyph(FT_Face face, FT_UInt glyph, const GlyphStyle& style) {
  auto loaded = cached_glyph(face, glyph, hinted_load_flags(style), style.embolden, hinted_embolden_strength(style));
  return loaded && loaded->has_outline() ? loaded : nullptr;
}

void append_pixel_run(agg::path_storage& out, long x0, long x1, long y) {
  const auto left = static_cast<double>(x0), right = static_cast<double>(x1), top = static_cast<double>(y);
  out.move_to(left, top);
  out.line_to(right, top);
  out.line_to(right, top + 1);
  out.line_to(left, top + 1);
  out.close_polygon();
}

}  // namespace

bool append_glyph_pixels(FT_Face face, FT_UInt glyph, const GlyphStyle& style, long origin_x, long origin_y,
                         agg::path_storage& out) {
  const auto loaded = mono_glyph(face, glyph, style);
  const std::vector<GlyphPixelRun>* runs = loaded ? loaded->pixel_runs(face->glyph->library) : nullptr;
  if (!runs) return false;
  for (const GlyphPixelRun& r : *runs) append_pixel_run(out, origin_x + r.x0, origin_x + r.x1, origin_y + r.y);
  return true;
}

}  // namespace velmora::platform
