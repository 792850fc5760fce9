#include "reference/cases.h"

#include "support/emf_records.h"

namespace velmora::test {
namespace {

// An 8 x 8 test picture: four coloured quadrants with a diagonal.
std::vector<std::uint32_t> quadrant_pixels() {
  std::vector<std::uint32_t> px(64);
  const std::uint32_t colors[] = {0xDC2828, 0x28A03C, 0x1E3CC8, 0xFAD228};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) px[y * 8 + x] = x == y ? 0x000000 : colors[(y / 4) * 2 + x / 4];
  return px;
}

// The same picture as an indexed DIB: colour table of the four colours and black.
Dib indexed_dib(int bit_count) {
  Dib dib;
  dib.width = 8;
  dib.height = 8;
  dib.bit_count = bit_count;
  dib.colors = {0xDC2828, 0x28A03C, 0x1E3CC8, 0xFAD228, 0x000000};
  if (bit_count == 1) dib.colors = {0xFFFFFF, 0x1E3CC8};
  const int stride = ((8 * bit_count + 31) / 32) * 4;
  dib.bits.assign(static_cast<std::size_t>(stride) * 8, 0);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      int index = x == y ? 4 : (y / 4) * 2 + x / 4;
      if (bit_count == 1) index = (x == y || x + y == 7) ? 1 : 0;
      std::uint8_t* row = dib.bits.data() + static_cast<std::size_t>(7 - y) * stride;  // bottom-up
      const int bit = x * bit_count;
      row[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bit_count - bit % 8));
    }
  }
  return dib;
}

// RLE8 of the indexed picture: per row, runs of equal indices, then end of line.
Dib rle8_dib() {
  Dib dib = indexed_dib(8);
  dib.compression = BI_RLE8;
  const std::vector<std::uint8_t> indices = indexed_dib(8).bits;
  std::vector<std::uint8_t> out;
  for (int row = 0; row < 8; ++row) {
    const std::uint8_t* r = indices.data() + row * 8;
    for (int x = 0; x < 8;) {
      int n = 1;
      while (x + n < 8 && r[x + n] == r[x]) ++n;
      out.push_back(static_cast<std::uint8_t>(n));
      out.push_back(r[x]);
      x += n;
    }
    out.push_back(0);  // escape: end of line
    out.push_back(0);
  }
  out.push_back(0);  // escape: end of bitmap
  out.push_back(1);
  dib.bits = out;
  return dib;
}

ReferenceCase dib_case(const char* name, Dib dib) {
  return {"bitmaps", name, 96, 96, [dib](EmfBuilder& b) { stretch_dib(b, dib, 8, 8, 80, 80); }};
}

ReferenceCase rop_case(const char* name, DWORD rop) {
  return {"rops", name, 96, 96, [rop](EmfBuilder& b) {
            // Background: left half red, right half light; pattern brush: green hatch.
            b.create_brush(1, BS_SOLID, RGB(220, 40, 40)).select_object(1);
            b.select_stock(NULL_PEN).rectangle(0, 0, 49, 97);
            b.create_brush(2, BS_SOLID, RGB(200, 220, 250)).select_object(2);
            b.rectangle(48, 0, 97, 97);
            b.create_brush(3, BS_HATCHED, RGB(20, 160, 60), HS_CROSS).select_object(3);
            const Dib source = make_dib(8, 8, 24, quadrant_pixels());
            stretch_dib(b, source, 16, 16, 64, 64, rop);
          }};
}

}  // namespace

std::vector<ReferenceCase> bitmap_cases() {
  std::vector<ReferenceCase> cases;
  // Turned 30 degrees about (48, 48) by the world transform: the platform
  // turns the bitmap with it.
  cases.push_back({"bitmaps", "turned_by_world_transform", 96, 96, [](EmfBuilder& b) {
                     b.set_world_transform({0.866f, 0.5f, -0.5f, 0.866f, 30.43f, -17.57f});
                     stretch_dib(b, make_dib(8, 8, 24, quadrant_pixels()), 16, 16, 64, 64);
                   }});
  cases.push_back(dib_case("depth_1", indexed_dib(1)));
  cases.push_back(dib_case("depth_4", indexed_dib(4)));
  cases.push_back(dib_case("depth_8", indexed_dib(8)));
  cases.push_back(dib_case("depth_24", make_dib(8, 8, 24, quadrant_pixels())));
  cases.push_back(dib_case("depth_32", make_dib(8, 8, 32, quadrant_pixels())));
  cases.push_back(dib_case("rle8", rle8_dib()));
  {
    Dib top_down = make_dib(8, 8, 24, quadrant_pixels());
    // Reverse the rows and flip the sign of the height: the same picture stored top-down.
    std::vector<std::uint8_t> rows(top_down.bits.size());
    for (int y = 0; y < 8; ++y) std::copy_n(top_down.bits.begin() + (7 - y) * 24, 24, rows.begin() + y * 24);
    top_down.bits = rows;
    top_down.height = -8;
    cases.push_back(dib_case("top_down_24", top_down));
  }
  {
    // 16 bits, 5-6-5 masks.
    Dib dib;
    dib.width = 8;
    dib.height = 8;
    dib.bit_count = 16;
    dib.bits.assign(16 * 8, 0);  // 8 rows of 16 bytes
    dib.compression = BI_BITFIELDS;
    dib.colors = {0xF800, 0x07E0, 0x001F};
    const auto px = quadrant_pixels();
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        const std::uint32_t p = px[y * 8 + x];
        const std::uint32_t v = ((p >> 19) & 0x1F) << 11 | ((p >> 10) & 0x3F) << 5 | ((p >> 3) & 0x1F);
        dib.bits[(7 - y) * 16 + x * 2] = static_cast<std::uint8_t>(v);
        dib.bits[(7 - y) * 16 + x * 2 + 1] = static_cast<std::uint8_t>(v >> 8);
      }
    }
    cases.push_back(dib_case("bitfields_565", dib));
  }
  cases.push_back(rop_case("srccopy", SRCCOPY));
  cases.push_back(rop_case("srcpaint", SRCPAINT));
  cases.push_back(rop_case("srcand", SRCAND));
  cases.push_back(rop_case("srcinvert", SRCINVERT));
  cases.push_back(rop_case("srcerase", SRCERASE));
  cases.push_back(rop_case("notsrccopy", NOTSRCCOPY));
  cases.push_back(rop_case("mergecopy", MERGECOPY));
  cases.push_back(rop_case("mergepaint", MERGEPAINT));
  cases.push_back(rop_case("patcopy", PATCOPY));
  cases.push_back(rop_case("patpaint", PATPAINT));
  cases.push_back(rop_case("patinvert", PATINVERT));
  cases.push_back(rop_case("dstinvert", DSTINVERT));
  cases.push_back(rop_case("blackness", BLACKNESS));
  cases.push_back(rop_case("whiteness", WHITENESS));
  cases.push_back(rop_case("mask_dsna", 0x00220326));  // D & ~S: the mask step of transparent blits
  return cases;
}

}  // namespace velmora::test
