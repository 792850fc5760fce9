// What the layout needs from one FreeType face, read in font units with the
// y axis up: the GDI-style metrics, the glyph for a character, and a glyph's
// outline placed into device space as an AGG path. Call these only inside
// with_face (face_cache.h), which holds the lock FreeType needs.
#pragma once

#include <agg_path_storage.h>
#include <agg_trans_affine.h>

#include <array>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace velmora::platform {

// Font units, y up; ascent and descent are both positive.
struct FaceMetrics {
  double units_per_em = 1;
  double ascent = 0;   // OS/2 usWinAscent: GDI's tmAscent
  double descent = 0;  // OS/2 usWinDescent: GDI's tmDescent
  double average_width = 0;  // OS/2 xAvgCharWidth: GDI's tmAveCharWidth
  double underline_centre = 0;  // negative below the baseline
  double underline_thickness = 0;
  double strikeout_centre = 0;
  double strikeout_thickness = 0;

  double cell_height() const { return ascent + descent; }
};

FaceMetrics face_metrics(FT_Face face);

// Finds glyphs for characters the way the platform does for the face's kind:
// symbol fonts (a Microsoft symbol cmap, a Type 1 font with its own
// encoding, or a face whose OS/2 code pages name only the symbol set) take
// the single-byte codes 0x20..0xFF, also when they are written as
// U+F020..U+F0FF; other fonts take Unicode.
class GlyphMapper {
 public:
  explicit GlyphMapper(FT_Face face);
  // The glyph index, 0 (the font's "missing" glyph) when there is none.
  FT_UInt glyph_for(char32_t code) const;
  bool is_symbol_font() const { return kind_ != Kind::Unicode; }

 private:
  // SymbolCodePage: a Unicode cmap that lacks part of the layout, which its
  // Apple Roman cmap carries by byte value.
  enum class Kind { Unicode, MicrosoftSymbol, Type1Builtin, SymbolCodePage };
  FT_UInt lookup(char32_t code) const;
  void read_byte_layout();

  FT_Face face_;
  Kind kind_ = Kind::Unicode;
  std::array<FT_UInt, 256> by_byte_{};  // SymbolCodePage: the Apple Roman cmap's glyphs
};

// Synthesis for faces that lack the asked-for weight or slant, and whether
// outlines come hinted at the size set_hinted_size gave the face.
struct GlyphStyle {
  bool embolden = false;
  bool oblique = false;
  double hinted_ppem = 0;  // > 0: hinted, in 26.6 pixels at this em; 0: unhinted font units
  bool monochrome = false;  // two-level drawing (the font's gasp table says no greys); hinted for it when hinted
  double grow = 1;  // device pixels per hinted pixel: the world transform's scale of a realised font
};

// Whether the face wants anti-aliased (grey) glyphs at a pixel size, as its
// gasp table says; true for faces without one.
bool grey_at(FT_Face face, double ppem);

// Sizes the face for hinted outlines: pixels per em across and down. False
// when the face refuses the size.
bool set_hinted_size(FT_Face face, double ppem_x, double ppem_y);

// The advance of a glyph hinted at the size set_hinted_size gave, in whole
// pixels as the platform advances hinted text.
double hinted_advance(FT_Face face, FT_UInt glyph, const GlyphStyle& style);

// Appends the outline of one glyph, each point mapped by font_to_device
// (font units, or 26.6 pixels when hinted; y up, glyph origin at 0,0), with
// its curves kept as AGG curve3/curve4 commands; every contour is closed.
// False when the glyph cannot be loaded (nothing is appended).
bool append_glyph_outline(FT_Face face, FT_UInt glyph, const GlyphStyle& style,
                          const agg::trans_affine& font_to_device, agg::path_storage& out);

// Appends the pixels the two-level rasteriser sets for one glyph hinted for
// two-level drawing, as whole-pixel boxes, its origin at device pixel
// (origin_x, origin_y). The rasteriser keeps strokes thinner than a pixel
// (dropout control), as the platform's two-level text does. False when the
// glyph cannot be loaded or drawn (nothing is appended).
bool append_glyph_pixels(FT_Face face, FT_UInt glyph, const GlyphStyle& style, long origin_x, long origin_y,
                         agg::path_storage& out);

}  // namespace velmora::platform
