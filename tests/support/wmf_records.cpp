#include "support/wmf_records.h"

#include <windows.h>

namespace velmora::test {
namespace {

// Record functions (MS-WMF 2.1.1.1).
constexpr std::uint16_t kSetMapMode = 0x0103;
constexpr std::uint16_t kDibStretchBlt = 0x0B41;
constexpr std::uint16_t kSaveDc = 0x001E;
constexpr std::uint16_t kRestoreDc = 0x0127;
constexpr std::uint16_t kCreatePen = 0x02FA;
constexpr std::uint16_t kCreateBrush = 0x02FC;
constexpr std::uint16_t kCreateFont = 0x02FB;
constexpr std::uint16_t kCreatePalette = 0x00F7;
constexpr std::uint16_t kSelectObject = 0x012D;
constexpr std::uint16_t kSelectPalette = 0x0234;
constexpr std::uint16_t kSetTextColor = 0x0209;
constexpr std::uint16_t kDeleteObject = 0x01F0;
constexpr std::uint16_t kPolygon = 0x0324;
constexpr std::uint16_t kPolyPolygon = 0x0538;
constexpr std::uint16_t kTextOut = 0x0521;
constexpr std::uint16_t kExtTextOut = 0x0A32;
constexpr std::uint16_t kIntersectClipRect = 0x0416;
constexpr std::uint16_t kStretchDib = 0x0F43;
constexpr std::uint16_t kDibBitBlt = 0x0940;
constexpr std::uint16_t kDibCreatePatternBrush = 0x0142;
constexpr std::uint16_t kEscape = 0x0626;

}  // namespace

WmfParams& WmfParams::i16(int v) {
  data_.push_back(static_cast<std::uint8_t>(v));
  data_.push_back(static_cast<std::uint8_t>(static_cast<unsigned>(v) >> 8));
  return *this;
}

WmfParams& WmfParams::u32(std::uint32_t v) {
  i16(static_cast<int>(v & 0xFFFF));
  return i16(static_cast<int>(v >> 16));
}

WmfParams& WmfParams::bytes(const std::vector<std::uint8_t>& data) {
  data_.insert(data_.end(), data.begin(), data.end());
  return *this;
}

WmfParams& WmfParams::text(const std::string& s) {
  data_.insert(data_.end(), s.begin(), s.end());
  return *this;
}

WmfBuilder& set_map_mode(WmfBuilder& b, int mode) { return b.raw(kSetMapMode, WmfParams().i16(mode).data()); }
WmfBuilder& save_dc(WmfBuilder& b) { return b.raw(kSaveDc, {}); }
WmfBuilder& restore_dc(WmfBuilder& b, int saved) { return b.raw(kRestoreDc, WmfParams().i16(saved).data()); }

WmfBuilder& create_pen(WmfBuilder& b, int style, int width, std::uint32_t color) {
  // LogPen16: style, width as a POINTS (x, unused y), colour.
  return b.raw(kCreatePen, WmfParams().i16(style).i16(width).i16(0).u32(color).data());
}

WmfBuilder& create_brush(WmfBuilder& b, int style, std::uint32_t color, int hatch) {
  // LogBrush16: style, colour, hatch.
  return b.raw(kCreateBrush, WmfParams().i16(style).u32(color).i16(hatch).data());
}

WmfBuilder& create_font(WmfBuilder& b, int height, int weight, int charset, const std::string& face) {
  WmfParams p;
  p.i16(height).i16(0).i16(0).i16(0).i16(weight);  // height, width, escapement, orientation, weight
  p.bytes({0, 0, 0, static_cast<std::uint8_t>(charset)});  // italic, underline, strike-out, charset
  p.bytes({0, 0, 0, 0});  // out precision, clip precision, quality, pitch and family
  p.text(face).bytes({0});  // face name, terminated
  return b.raw(kCreateFont, p.data());
}

WmfBuilder& create_palette(WmfBuilder& b) {
  // Palette object: Start (0x0300), NumberOfEntries, then the entries.
  return b.raw(kCreatePalette, WmfParams().i16(0x0300).i16(1).bytes({0x00, 0x00, 0xFF, 0x00}).data());  // red, green, blue, flags
}

WmfBuilder& select_palette(WmfBuilder& b, int slot) { return b.raw(kSelectPalette, WmfParams().i16(slot).data()); }
WmfBuilder& set_text_color(WmfBuilder& b, std::uint32_t color) { return b.raw(kSetTextColor, WmfParams().u32(color).data()); }

WmfBuilder& select_object(WmfBuilder& b, int slot) { return b.raw(kSelectObject, WmfParams().i16(slot).data()); }
WmfBuilder& delete_object(WmfBuilder& b, int slot) { return b.raw(kDeleteObject, WmfParams().i16(slot).data()); }

WmfBuilder& polygon(WmfBuilder& b, const std::vector<WmfPoint>& points) {
  WmfParams p;
  p.i16(static_cast<int>(points.size()));  // NumberofPoints
  for (const WmfPoint& pt : points) p.i16(pt.x).i16(pt.y);
  return b.raw(kPolygon, p.data());
}

WmfBuilder& poly_polygon(WmfBuilder& b, const std::vector<std::vector<WmfPoint>>& polygons) {
  WmfParams p;
  p.i16(static_cast<int>(polygons.size()));  // NumberofPolygons
  for (const auto& poly : polygons) p.i16(static_cast<int>(poly.size()));  // aPointsPerPolygon
  for (const auto& poly : polygons) {
    for (const WmfPoint& pt : poly) p.i16(pt.x).i16(pt.y);
  }
  return b.raw(kPolyPolygon, p.data());
}

WmfBuilder& text_out(WmfBuilder& b, int x, int y, const std::string& s) {
  WmfParams p;
  p.i16(static_cast<int>(s.size())).text(s);  // StringLength, String
  if (s.size() % 2 != 0) p.bytes({0});        // padded to a whole word
  return b.raw(kTextOut, p.i16(y).i16(x).data());  // YStart, XStart
}

WmfBuilder& ext_text_out(WmfBuilder& b, int x, int y, int options, const RECTL& rect, const std::string& s,
                         const std::vector<std::int16_t>& dx) {
  WmfParams p;
  p.i16(y).i16(x).i16(static_cast<int>(s.size())).i16(options);  // Y, X, StringLength, fwOpts
  if (options & (ETO_OPAQUE | ETO_CLIPPED)) p.i16(rect.left).i16(rect.top).i16(rect.right).i16(rect.bottom);
  p.text(s);
  if (s.size() % 2 != 0) p.bytes({0});
  for (std::int16_t d : dx) p.i16(d);  // Dx
  return b.raw(kExtTextOut, p.data());
}

WmfBuilder& intersect_clip_rect(WmfBuilder& b, int l, int t, int r, int bottom) {
  return b.raw(kIntersectClipRect, WmfParams().i16(bottom).i16(r).i16(t).i16(l).data());
}

WmfBuilder& stretch_dib(WmfBuilder& b, std::uint32_t rop, const RECTL& dest, const RECTL& source,
                        const std::vector<std::uint8_t>& dib) {
  WmfParams p;
  p.u32(rop).i16(DIB_RGB_COLORS);                                              // RasterOperation, ColorUsage
  p.i16(source.bottom).i16(source.right).i16(source.top).i16(source.left);   // SrcHeight, SrcWidth, YSrc, XSrc
  p.i16(dest.bottom).i16(dest.right).i16(dest.top).i16(dest.left);           // DestHeight, DestWidth, yDst, xDst
  return b.raw(kStretchDib, p.bytes(dib).data());
}

WmfBuilder& dib_stretch_blt(WmfBuilder& b, std::uint32_t rop, const RECTL& dest, const RECTL& source,
                            const std::vector<std::uint8_t>& dib) {
  WmfParams p;
  p.u32(rop);                                                                 // RasterOperation
  p.i16(source.bottom).i16(source.right).i16(source.top).i16(source.left);   // SrcHeight, SrcWidth, YSrc, XSrc
  p.i16(dest.bottom).i16(dest.right).i16(dest.top).i16(dest.left);           // DestHeight, DestWidth, YDest, XDest
  return b.raw(kDibStretchBlt, p.bytes(dib).data());
}

WmfBuilder& dib_bitblt_without_bitmap(WmfBuilder& b, std::uint32_t rop, int x, int y, int w, int h) {
  // RasterOperation, YSrc, XSrc, Reserved, Height, Width, YDest, XDest.
  return b.raw(kDibBitBlt, WmfParams().u32(rop).i16(0).i16(0).i16(0).i16(h).i16(w).i16(y).i16(x).data());
}

WmfBuilder& dib_pattern_brush(WmfBuilder& b, const std::vector<std::uint8_t>& dib) {
  return b.raw(kDibCreatePatternBrush, WmfParams().i16(BS_DIBPATTERNPT).i16(DIB_RGB_COLORS).bytes(dib).data());
}

WmfBuilder& emf_comment(WmfBuilder& b, std::uint32_t count, std::uint32_t remaining, std::uint32_t total,
                        const std::vector<std::uint8_t>& piece) {
  constexpr std::uint16_t kFixedBytes = 34;  // CommentIdentifier to EnhancedMetafileDataSize
  WmfParams p;
  p.i16(0x000F).i16(kFixedBytes + static_cast<int>(piece.size()));  // EscapeFunction MFCOMMENT, ByteCount
  p.u32(0x43464D57).u32(1).u32(0x00010000);  // "WMFC", CommentType EMF, Version
  p.i16(0).u32(0);  // Checksum, Flags
  p.u32(count).u32(static_cast<std::uint32_t>(piece.size())).u32(remaining).u32(total);
  return b.raw(kEscape, p.bytes(piece).data());
}

std::vector<std::uint8_t> mono_dib(std::int32_t width, std::int32_t height) {
  WmfParams p;
  p.u32(40).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height)).i16(1).i16(1);
  p.u32(BI_RGB).u32(0).u32(0).u32(0).u32(0).u32(0);
  p.bytes({0, 0, 0, 0, 255, 255, 255, 0});  // black, white
  const std::size_t row_bytes = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  p.bytes(std::vector<std::uint8_t>(row_bytes * static_cast<std::size_t>(height), 0));
  return p.data();
}

std::vector<std::uint8_t> tiny_dib() {
  WmfParams p;
  p.u32(40).u32(2).u32(2).i16(1).i16(24);  // biSize, biWidth, biHeight, biPlanes, biBitCount
  p.u32(BI_RGB).u32(16).u32(0).u32(0).u32(0).u32(0);  // compression, image size, resolution, colours
  p.bytes({0, 0, 255, 0, 255, 0, 0, 0});  // bottom row: red, green, padding
  p.bytes({255, 0, 0, 255, 255, 255, 0, 0});  // top row: blue, white, padding
  return p.data();
}

}  // namespace velmora::test
