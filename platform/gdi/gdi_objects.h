// The logical drawing objects a handle can name: pens, extended pens,
// brushes, fonts and palettes, and the stock objects. A device context
// copies an object's description when it is selected (see DcState), so
// deleting a selected object never leaves the context pointing at nothing.
#pragma once

#include "raster/image.h"
#include "gdi/object.h"

#include <memory>
#include <vector>

namespace velmora::platform {

// How a brush paints: a solid colour, nothing, a hatch over the background,
// or a pattern image tiled from the brush origin.
struct BrushTraits {
  UINT style = BS_SOLID;  // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN / BS_DIBPATTERNPT
  COLORREF color = RGB(255, 255, 255);
  ULONG hatch = HS_HORIZONTAL;  // HS_* for BS_HATCHED
  // For pattern brushes: the tile. A monochrome tile paints the DC's text
  // colour where a pixel's colour is black and its background colour elsewhere.
  std::shared_ptr<const Image32> pattern;
  bool monochrome = false;

  bool is_null() const { return style == BS_NULL; }
};

// A pen as drawn: style bits (PS_*), width in logical units, colour, the
// user dash pattern (PS_USERSTYLE, logical units) and, for extended
// geometric pens, the brush that fills the stroke.
struct PenTraits {
  UINT style = PS_SOLID;
  UINT width = 0;  // 0 = one device pixel (cosmetic)
  COLORREF color = RGB(0, 0, 0);
  std::vector<DWORD> dashes;
  BrushTraits brush;  // style BS_SOLID with the pen colour for plain pens

  UINT line_style() const { return style & PS_STYLE_MASK; }
  bool is_null() const { return line_style() == PS_NULL; }
  bool is_geometric() const { return (style & PS_TYPE_MASK) == PS_GEOMETRIC; }
};

class Pen : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Pen;
  explicit Pen(PenTraits traits) : GdiObject(kKind), traits_(std::move(traits)) {}
  const PenTraits& traits() const { return traits_; }

 private:
  PenTraits traits_;
};

// A pen made by ExtCreatePen (EMR_EXTCREATEPEN): same description, its own kind.
class ExtPen : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::ExtPen;
  explicit ExtPen(PenTraits traits) : GdiObject(kKind), traits_(std::move(traits)) {}
  const PenTraits& traits() const { return traits_; }

 private:
  PenTraits traits_;
};

class Brush : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Brush;
  explicit Brush(BrushTraits traits) : GdiObject(kKind), traits_(std::move(traits)) {}
  const BrushTraits& traits() const { return traits_; }

 private:
  BrushTraits traits_;
};

// A font handle holds its logical description only; the text code realises
// it into glyphs when it draws.
class Font : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Font;
  explicit Font(const LOGFONTW& logfont) : GdiObject(kKind), logfont_(logfont) {}
  const LOGFONTW& logfont() const { return logfont_; }

 private:
  LOGFONTW logfont_;
};

class Palette : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Palette;
  explicit Palette(std::vector<PALETTEENTRY> entries) : GdiObject(kKind), entries_(std::move(entries)) {}
  const std::vector<PALETTEENTRY>& entries() const { return entries_; }
  std::vector<PALETTEENTRY>& entries() { return entries_; }

 private:
  std::vector<PALETTEENTRY> entries_;
};

// The stock object with a GetStockObject index, created on first use; null
// for an index that names none.
HGDIOBJ stock_object(int index);

// Registers new objects; each returns the handle (never null).
HPEN create_pen(PenTraits traits);
HPEN create_ext_pen(PenTraits traits);
HBRUSH create_brush(BrushTraits traits);
HFONT create_font(const LOGFONTW& logfont);
HPALETTE create_palette(std::vector<PALETTEENTRY> entries);

// A colour as drawn: PALETTEINDEX colours (high byte 1) name an entry of
// the given palette (black when it has no such entry), PALETTERGB colours
// (high byte 2) and plain ones give their red, green and blue.
COLORREF resolve_color(COLORREF color, HGDIOBJ palette);

// The description behind a pen or extended-pen handle, or null.
const PenTraits* pen_traits(HGDIOBJ handle);

}  // namespace velmora::platform
