// Builders for WMF records that tests write, each appending one record to a
// WmfBuilder with its parameters in the order MS-WMF lists them.
#pragma once

#include "support/wmf_builder.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// The parameter bytes of one record, little-endian, in file order.
class WmfParams {
 public:
  WmfParams& i16(int v);
  WmfParams& u32(std::uint32_t v);
  WmfParams& bytes(const std::vector<std::uint8_t>& data);
  WmfParams& text(const std::string& s);  // its bytes, no terminator
  const std::vector<std::uint8_t>& data() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
};

struct WmfPoint {
  std::int16_t x;
  std::int16_t y;
};

WmfBuilder& set_map_mode(WmfBuilder& b, int mode);
WmfBuilder& save_dc(WmfBuilder& b);
WmfBuilder& restore_dc(WmfBuilder& b, int saved);
WmfBuilder& create_pen(WmfBuilder& b, int style, int width, std::uint32_t color);
WmfBuilder& create_brush(WmfBuilder& b, int style, std::uint32_t color, int hatch = 0);
WmfBuilder& create_font(WmfBuilder& b, int height, int weight, int charset, const std::string& face);
WmfBuilder& create_palette(WmfBuilder& b);  // one entry
WmfBuilder& select_palette(WmfBuilder& b, int slot);
WmfBuilder& set_text_color(WmfBuilder& b, std::uint32_t color);
WmfBuilder& select_object(WmfBuilder& b, int slot);
WmfBuilder& delete_object(WmfBuilder& b, int slot);
WmfBuilder& polygon(WmfBuilder& b, const std::vector<WmfPoint>& points);
WmfBuilder& poly_polygon(WmfBuilder& b, const std::vector<std::vector<WmfPoint>>& polygons);
WmfBuilder& text_out(WmfBuilder& b, int x, int y, const std::string& s);
// ExtTextOut; the rectangle is written when options hold ETO_OPAQUE or ETO_CLIPPED.
WmfBuilder& ext_text_out(WmfBuilder& b, int x, int y, int options, const RECTL& rect, const std::string& s,
                         const std::vector<std::int16_t>& dx);
WmfBuilder& intersect_clip_rect(WmfBuilder& b, int l, int t, int r, int bottom);
// StretchDIB with DIB_RGB_COLORS: destination and source as x, y, width, height.
WmfBuilder& stretch_dib(WmfBuilder& b, std::uint32_t rop, const RECTL& dest, const RECTL& source,
                        const std::vector<std::uint8_t>& dib);
// DIBBitBlt without a bitmap: paints the destination with the brush.
// META_DIBSTRETCHBLT with its bitmap; rectangles as x, y, width, height.
WmfBuilder& dib_stretch_blt(WmfBuilder& b, std::uint32_t rop, const RECTL& dest, const RECTL& source,
                            const std::vector<std::uint8_t>& dib);
WmfBuilder& dib_bitblt_without_bitmap(WmfBuilder& b, std::uint32_t rop, int x, int y, int w, int h);
WmfBuilder& dib_pattern_brush(WmfBuilder& b, const std::vector<std::uint8_t>& dib);

// META_ESCAPE MFCOMMENT carrying one piece of an embedded EMF
// (META_ESCAPE_ENHANCED_METAFILE): the piece count, the bytes still to come
// after this piece, the EMF's whole size, and this piece's bytes.
WmfBuilder& emf_comment(WmfBuilder& b, std::uint32_t count, std::uint32_t remaining, std::uint32_t total,
                        const std::vector<std::uint8_t>& piece);

// A packed 24-bit BI_RGB DIB of 2 x 2 pixels: BITMAPINFOHEADER, then two
// bottom-up rows of 6 bytes padded to 8.
std::vector<std::uint8_t> tiny_dib();
// A bottom-up 1-bit DIB of that size, all black, with a black-and-white colour table.
std::vector<std::uint8_t> mono_dib(std::int32_t width, std::int32_t height);

}  // namespace velmora::test
