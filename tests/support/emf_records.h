// Builders for the larger EMF records (text, bitmaps, regions, pattern
// brushes) that tests and reference cases write. Each appends one record to
// an EmfBuilder, fields in the order MS-EMF lists them.
#pragma once

#include "support/emf_builder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// A packed DIB: BITMAPINFOHEADER, colour table, then the bits as given.
struct Dib {
  int width = 0;
  int height = 0;  // negative for top-down rows
  int bit_count = 24;
  std::uint32_t compression = BI_RGB;
  std::vector<std::uint32_t> colors;     // colour table (0x00RRGGBB) or BI_BITFIELDS masks
  std::vector<std::uint8_t> bits;        // rows padded to 4 bytes (or the compressed stream)
  std::vector<std::uint8_t> info() const;  // header and colour table
};

// Rows of 0x00RRGGBB pixels (top row first) as a bottom-up BI_RGB DIB of 24 or 32 bits.
Dib make_dib(int width, int height, int bit_count, const std::vector<std::uint32_t>& top_down_pixels);

struct FontTraits {
  int height = -16;
  int width = 0;
  int escapement = 0;  // tenths of a degree
  int orientation = 0;
  int weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  int quality = 0;  // DEFAULT_QUALITY
  std::u16string face = u"Liberation Sans";
};

// EMR_EXTCREATEFONTINDIRECTW with a 92-byte LOGFONTW.
void create_font(EmfBuilder& b, std::uint32_t index, const FontTraits& font);
// EMR_EXTTEXTOUTW at (x, y); dx empty means no advance array.
void text_out(EmfBuilder& b, int x, int y, const std::u16string& text, std::uint32_t options = 0,
              RECTL rect = {0, 0, -1, -1}, const std::vector<std::int32_t>& dx = {});
void set_text_align(EmfBuilder& b, UINT align);

// EMR_STRETCHDIBITS of the whole DIB into (x, y, cx, cy).
void stretch_dib(EmfBuilder& b, const Dib& dib, int x, int y, int cx, int cy, DWORD rop = SRCCOPY);
// EMR_BITBLT of the whole DIB to (x, y), or a pattern blit when dib is null.
void bit_blt(EmfBuilder& b, const Dib* dib, int x, int y, int cx, int cy, DWORD rop);
// EMR_CREATEDIBPATTERNBRUSHPT.
void create_dib_pattern_brush(EmfBuilder& b, std::uint32_t index, const Dib& dib);
// EMR_EXTSELECTCLIPRGN with the rectangles as RGNDATA (device units).
void select_clip_rects(EmfBuilder& b, const std::vector<RECTL>& rects, int mode);
// A region-painting record (EMR_FILLRGN, EMR_FRAMERGN, EMR_INVERTRGN,
// EMR_PAINTRGN): bounds, data size, the record's own fields (ihBrush, and
// for EMR_FRAMERGN the stroke width and height), then the rectangles as RGNDATA.
void region_record(EmfBuilder& b, std::uint32_t type, const std::vector<std::uint32_t>& fields,
                   const std::vector<RECTL>& rects);
// EMR_EXCLUDECLIPRECT.
void exclude_clip_rect(EmfBuilder& b, int l, int t, int r, int bottom);

}  // namespace velmora::test
