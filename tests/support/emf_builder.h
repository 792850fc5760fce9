// Builds enhanced-metafile bytes record by record, for tests. Each helper
// writes one record with its fields in file order, so a test reads as the
// list of records its picture holds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace velmora::test {

class EmfBuilder {
 public:
  // frame: the picture's frame in 0.01 mm; bounds: its inclusive device bounds.
  explicit EmfBuilder(RECTL frame = {0, 0, 10000, 10000}, RECTL bounds = {0, 0, 377, 377});

  // A record whose body is the given 32-bit words, in order.
  EmfBuilder& record(std::uint32_t type, std::initializer_list<std::uint32_t> words);
  // A record whose body is the given bytes, padded with zeros to 4 bytes.
  EmfBuilder& raw(std::uint32_t type, const std::vector<std::uint8_t>& body);

  // Common records, fields in the order MS-EMF lists them.
  EmfBuilder& set_map_mode(int mode) { return record(EMR_SETMAPMODE, {u(mode)}); }
  EmfBuilder& set_window_org(int x, int y) { return record(EMR_SETWINDOWORGEX, {u(x), u(y)}); }
  EmfBuilder& set_window_ext(int cx, int cy) { return record(EMR_SETWINDOWEXTEX, {u(cx), u(cy)}); }
  EmfBuilder& set_viewport_org(int x, int y) { return record(EMR_SETVIEWPORTORGEX, {u(x), u(y)}); }
  EmfBuilder& set_viewport_ext(int cx, int cy) { return record(EMR_SETVIEWPORTEXTEX, {u(cx), u(cy)}); }
  EmfBuilder& set_bk_mode(int mode) { return record(EMR_SETBKMODE, {u(mode)}); }
  EmfBuilder& set_bk_color(COLORREF c) { return record(EMR_SETBKCOLOR, {c}); }
  EmfBuilder& set_text_color(COLORREF c) { return record(EMR_SETTEXTCOLOR, {c}); }
  EmfBuilder& set_rop2(int rop) { return record(EMR_SETROP2, {u(rop)}); }
  EmfBuilder& set_poly_fill_mode(int mode) { return record(EMR_SETPOLYFILLMODE, {u(mode)}); }
  EmfBuilder& save_dc() { return record(EMR_SAVEDC, {}); }
  EmfBuilder& restore_dc(int relative) { return record(EMR_RESTOREDC, {u(relative)}); }
  EmfBuilder& select_object(std::uint32_t index) { return record(EMR_SELECTOBJECT, {index}); }
  EmfBuilder& select_stock(int stock) { return record(EMR_SELECTOBJECT, {ENHMETA_STOCK_OBJECT | u(stock)}); }
  EmfBuilder& delete_object(std::uint32_t index) { return record(EMR_DELETEOBJECT, {index}); }
  // LOGBRUSH32: style, colour, hatch.
  EmfBuilder& create_brush(std::uint32_t index, UINT style, COLORREF color, std::uint32_t hatch = 0) {
    return record(EMR_CREATEBRUSHINDIRECT, {index, style, color, hatch});
  }
  // LOGPEN: style, width as a POINTL (y unused), colour.
  EmfBuilder& create_pen(std::uint32_t index, UINT style, int width, COLORREF color) {
    return record(EMR_CREATEPEN, {index, style, u(width), 0, color});
  }
  EmfBuilder& rectangle(int l, int t, int r, int b) { return record(EMR_RECTANGLE, {u(l), u(t), u(r), u(b)}); }
  EmfBuilder& ellipse(int l, int t, int r, int b) { return record(EMR_ELLIPSE, {u(l), u(t), u(r), u(b)}); }
  EmfBuilder& move_to(int x, int y) { return record(EMR_MOVETOEX, {u(x), u(y)}); }
  EmfBuilder& line_to(int x, int y) { return record(EMR_LINETO, {u(x), u(y)}); }
  EmfBuilder& intersect_clip_rect(int l, int t, int r, int b) {
    return record(EMR_INTERSECTCLIPRECT, {u(l), u(t), u(r), u(b)});
  }
  // The 16-bit point forms: bounds, count, then the points.
  EmfBuilder& polygon16(const std::vector<POINT>& points) { return poly16(EMR_POLYGON16, points); }
  EmfBuilder& polyline16(const std::vector<POINT>& points) { return poly16(EMR_POLYLINE16, points); }
  EmfBuilder& polybezier16(const std::vector<POINT>& points) { return poly16(EMR_POLYBEZIER16, points); }
  EmfBuilder& polybezierto16(const std::vector<POINT>& points) { return poly16(EMR_POLYBEZIERTO16, points); }
  EmfBuilder& poly16(std::uint32_t type, const std::vector<POINT>& points);
  // The 32-bit point forms.
  EmfBuilder& poly32(std::uint32_t type, const std::vector<POINT>& points);
  EmfBuilder& set_world_transform(const XFORM& x);

  // Text records. EMR_EXTCREATEFONTINDIRECTW: ihFont, then the 92-byte LogFont
  // (five LONGs, eight BYTEs, 32 UTF-16 units of face name).
  EmfBuilder& ext_create_font(std::uint32_t index, const LOGFONTW& font);
  EmfBuilder& set_text_align(UINT align) { return record(EMR_SETTEXTALIGN, {align}); }
  // EMR_EXTTEXTOUTW with one EmrText: reference point, the string (UTF-16),
  // ETO_* options, the rectangle and one advance per unit (none when dx is empty).
  EmfBuilder& ext_text_out_w(POINT reference, const std::u16string& text, const std::vector<int>& dx = {},
                             UINT options = 0, RECTL rect = {0, 0, 0, 0}, DWORD graphics_mode = GM_COMPATIBLE);
  EmfBuilder& modify_world_transform(const XFORM& x, DWORD mode);

  // The finished file: header (counts and sizes filled in), records, EOF.
  std::vector<std::uint8_t> bytes() const;
  // SetEnhMetaFileBits of bytes(); the caller deletes the handle.
  HENHMETAFILE handle() const;

  static std::uint32_t u(int v) { return static_cast<std::uint32_t>(v); }
  static std::uint32_t f(float v);  // the bits of a FLOAT field

 private:
  RECTL frame_;
  RECTL bounds_;
  std::vector<std::uint8_t> body_;
  std::uint32_t records_ = 0;
  std::uint32_t handles_ = 1;
};

}  // namespace velmora::test
