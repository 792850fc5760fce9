#include "support/emf_records.h"

#include <algorithm>

namespace velmora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void puti(Bytes& out, int v) { put32(out, static_cast<std::uint32_t>(v)); }
void put_rect(Bytes& out, const RECTL& r) {
  for (LONG v : {r.left, r.top, r.right, r.bottom}) puti(out, v);
}
void pad4(Bytes& out) {
  while (out.size() % 4) out.push_back(0);
}

int row_bytes(int width, int bit_count) { return ((width * bit_count + 31) / 32) * 4; }

}  // namespace

Bytes Dib::info() const {
  Bytes out;
  put32(out, 40);  // biSize
  puti(out, width);
  puti(out, height);
  put16(out, 1);  // biPlanes
  put16(out, static_cast<std::uint32_t>(bit_count));
  put32(out, compression);
  put32(out, static_cast<std::uint32_t>(bits.size()));  // biSizeImage
  puti(out, 3780);                                      // biXPelsPerMeter (96 dpi)
  puti(out, 3780);
  put32(out, compression == BI_BITFIELDS ? 0 : static_cast<std::uint32_t>(colors.size()));  // biClrUsed
  put32(out, 0);                                                                           // biClrImportant
  for (std::uint32_t c : colors) put32(out, c);
  return out;
}

Dib make_dib(int width, int height, int bit_count, const std::vector<std::uint32_t>& pixels) {
  if (bit_count != 24 && bit_count != 32) return {};  // only the direct-colour depths are written here
  Dib dib;
  dib.width = width;
  dib.height = height;
  dib.bit_count = bit_count;
  const int stride = row_bytes(width, bit_count);
  dib.bits.assign(static_cast<std::size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = dib.bits.data() + static_cast<std::size_t>(height - 1 - y) * stride;  // bottom-up
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
      const int bpp = bit_count / 8;
      row[x * bpp] = static_cast<std::uint8_t>(p);            // blue
      row[x * bpp + 1] = static_cast<std::uint8_t>(p >> 8);   // green
      row[x * bpp + 2] = static_cast<std::uint8_t>(p >> 16);  // red
      if (bpp == 4) row[x * bpp + 3] = static_cast<std::uint8_t>(p >> 24);
    }
  }
  return dib;
}

void create_font(EmfBuilder& b, std::uint32_t index, const FontTraits& f) {
  Bytes body;
  put32(body, index);  // ihFont
  puti(body, f.height);
  puti(body, f.width);
  puti(body, f.escapement);
  puti(body, f.orientation);
  puti(body, f.weight);
  body.push_back(f.italic);
  body.push_back(f.underline);
  body.push_back(f.strike_out);
  body.push_back(0);  // lfCharSet: ANSI_CHARSET
  body.push_back(0);  // lfOutPrecision
  body.push_back(0);  // lfClipPrecision
  body.push_back(static_cast<std::uint8_t>(f.quality));
  body.push_back(0);  // lfPitchAndFamily
  for (int i = 0; i < LF_FACESIZE; ++i) put16(body, i < static_cast<int>(f.face.size()) ? f.face[i] : 0);
  b.raw(EMR_EXTCREATEFONTINDIRECTW, body);
}

void text_out(EmfBuilder& b, int x, int y, const std::u16string& text, std::uint32_t options, RECTL rect,
              const std::vector<std::int32_t>& dx) {
  Bytes body;
  put_rect(body, RECTL{0, 0, -1, -1});  // rclBounds
  put32(body, GM_COMPATIBLE);           // iGraphicsMode
  put32(body, EmfBuilder::f(1.0f));     // exScale
  put32(body, EmfBuilder::f(1.0f));     // eyScale
  constexpr std::uint32_t kStringOffset = 8 + 28 + 40;  // record header, fields above, EMRTEXT
  const std::uint32_t string_bytes = static_cast<std::uint32_t>((text.size() * 2 + 3) & ~std::size_t{3});
  puti(body, x);  // EMRTEXT.ptlReference
  puti(body, y);
  put32(body, static_cast<std::uint32_t>(text.size()));                  // nChars
  put32(body, kStringOffset);                                            // offString
  put32(body, options);                                                  // fOptions
  put_rect(body, rect);                                                  // rcl
  put32(body, dx.empty() ? 0 : kStringOffset + string_bytes);            // offDx
  for (char16_t c : text) put16(body, c);
  pad4(body);
  for (std::int32_t d : dx) puti(body, d);
  b.raw(EMR_EXTTEXTOUTW, body);
}

void set_text_align(EmfBuilder& b, UINT align) { b.record(EMR_SETTEXTALIGN, {align}); }

void stretch_dib(EmfBuilder& b, const Dib& dib, int x, int y, int cx, int cy, DWORD rop) {
  const Bytes info = dib.info();
  constexpr std::uint32_t kFixed = 80;
  Bytes body;
  put_rect(body, RECTL{x, y, x + cx - 1, y + cy - 1});  // rclBounds
  puti(body, x);                                        // xDest
  puti(body, y);                                        // yDest
  puti(body, 0);                                        // xSrc
  puti(body, 0);                                        // ySrc
  puti(body, dib.width);                                // cxSrc
  puti(body, std::abs(dib.height));                     // cySrc
  put32(body, kFixed);                                  // offBmiSrc
  put32(body, static_cast<std::uint32_t>(info.size()));  // cbBmiSrc
  put32(body, kFixed + static_cast<std::uint32_t>(info.size()));  // offBitsSrc
  put32(body, static_cast<std::uint32_t>(dib.bits.size()));       // cbBitsSrc
  put32(body, DIB_RGB_COLORS);                                    // iUsageSrc
  put32(body, rop);                                               // dwRop
  puti(body, cx);                                                 // cxDest
  puti(body, cy);                                                 // cyDest
  body.insert(body.end(), info.begin(), info.end());
  body.insert(body.end(), dib.bits.begin(), dib.bits.end());
  b.raw(EMR_STRETCHDIBITS, body);
}

void bit_blt(EmfBuilder& b, const Dib* dib, int x, int y, int cx, int cy, DWORD rop) {
  const Bytes info = dib ? dib->info() : Bytes{};
  constexpr std::uint32_t kFixed = 100;
  Bytes body;
  put_rect(body, RECTL{x, y, x + cx - 1, y + cy - 1});  // rclBounds
  puti(body, x);                                        // xDest
  puti(body, y);                                        // yDest
  puti(body, cx);                                       // cxDest
  puti(body, cy);                                       // cyDest
  put32(body, rop);                                     // dwRop
  puti(body, 0);                                        // xSrc
  puti(body, 0);                                        // ySrc
  for (float v : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) put32(body, EmfBuilder::f(v));  // xformSrc
  put32(body, 0x00FFFFFF);                                                             // crBkColorSrc
  put32(body, DIB_RGB_COLORS);                                                         // iUsageSrc
  put32(body, dib ? kFixed : 0);                                                       // offBmiSrc
  put32(body, static_cast<std::uint32_t>(info.size()));                                // cbBmiSrc
  put32(body, dib ? kFixed + static_cast<std::uint32_t>(info.size()) : 0);             // offBitsSrc
  put32(body, dib ? static_cast<std::uint32_t>(dib->bits.size()) : 0);                 // cbBitsSrc
  if (dib) {
    body.insert(body.end(), info.begin(), info.end());
    body.insert(body.end(), dib->bits.begin(), dib->bits.end());
  }
  b.raw(EMR_BITBLT, body);
}

void create_dib_pattern_brush(EmfBuilder& b, std::uint32_t index, const Dib& dib) {
  const Bytes info = dib.info();
  constexpr std::uint32_t kFixed = 32;
  Bytes body;
  put32(body, index);                                             // ihBrush
  put32(body, DIB_RGB_COLORS);                                    // iUsage
  put32(body, kFixed);                                            // offBmi
  put32(body, static_cast<std::uint32_t>(info.size()));           // cbBmi
  put32(body, kFixed + static_cast<std::uint32_t>(info.size()));  // offBits
  put32(body, static_cast<std::uint32_t>(dib.bits.size()));       // cbBits
  body.insert(body.end(), info.begin(), info.end());
  body.insert(body.end(), dib.bits.begin(), dib.bits.end());
  b.raw(EMR_CREATEDIBPATTERNBRUSHPT, body);
}

namespace {

// RGNDATA: the 32-byte header, then the rectangles.
Bytes region_data(const std::vector<RECTL>& rects) {
  RECTL bound{0, 0, 0, 0};
  if (!rects.empty()) {
    bound = rects.front();
    for (const RECTL& r : rects) {
      bound.left = std::min(bound.left, r.left);
      bound.top = std::min(bound.top, r.top);
      bound.right = std::max(bound.right, r.right);
      bound.bottom = std::max(bound.bottom, r.bottom);
    }
  }
  Bytes data;
  const std::uint32_t rects_size = static_cast<std::uint32_t>(rects.size() * 16);
  put32(data, 32);  // RGNDATAHEADER.dwSize
  put32(data, 1);   // iType: RDH_RECTANGLES
  put32(data, static_cast<std::uint32_t>(rects.size()));  // nCount
  put32(data, rects_size);                                // nRgnSize
  put_rect(data, bound);                                  // rcBound
  for (const RECTL& r : rects) put_rect(data, r);
  return data;
}

}  // namespace

void select_clip_rects(EmfBuilder& b, const std::vector<RECTL>& rects, int mode) {
  const Bytes data = region_data(rects);
  Bytes body;
  put32(body, static_cast<std::uint32_t>(data.size()));  // cbRgnData
  puti(body, mode);                                      // iMode
  body.insert(body.end(), data.begin(), data.end());
  b.raw(EMR_EXTSELECTCLIPRGN, body);
}

void region_record(EmfBuilder& b, std::uint32_t type, const std::vector<std::uint32_t>& fields,
                   const std::vector<RECTL>& rects) {
  const Bytes data = region_data(rects);
  Bytes body;
  put_rect(body, RECTL{0, 0, -1, -1});                   // rclBounds
  put32(body, static_cast<std::uint32_t>(data.size()));  // cbRgnData
  for (std::uint32_t field : fields) put32(body, field);  // ihBrush, then FRAMERGN's szlStroke
  body.insert(body.end(), data.begin(), data.end());
  b.raw(type, body);
}

void exclude_clip_rect(EmfBuilder& b, int l, int t, int r, int bottom) {
  b.record(EMR_EXCLUDECLIPRECT, {EmfBuilder::u(l), EmfBuilder::u(t), EmfBuilder::u(r), EmfBuilder::u(bottom)});
}

}  // namespace velmora::test
