// The bitmap records through PlayEnhMetaFile: what each draws, where, with
// which fourth byte, and that malformed records draw nothing.
#include "support/emf_builder.h"
#include "support/emf_records.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace velmora::test {
namespace {

constexpr std::uint32_t kUntouched = 0xFF000000;  // black with fourth byte 255: the capture's key

// A top-down 32-bit DIB section in a memory context, every pixel kUntouched.
class Target {
 public:
  Target(int w, int h) : width_(w), height_(h) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < w * h; ++i) pixels_[i] = kUntouched;
  }
  ~Target() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  // Plays the picture so that one record unit is one pixel.
  void play(const EmfBuilder& builder) {
    HENHMETAFILE emf = builder.handle();
    ASSERT_NE(emf, nullptr);
    const RECT all{0, 0, width_, height_};
    PlayEnhMetaFile(dc_, emf, &all);
    DeleteEnhMetaFile(emf);
  }
  std::uint32_t at(int x, int y) const { return pixels_[y * width_ + x]; }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
};

// A builder whose frame makes one record unit one pixel of a w x h target
// (the builder's reference device has 3.2 pixels per millimetre).
EmfBuilder picture(int w, int h) { return EmfBuilder(RECTL{0, 0, w * 3125 / 100, h * 3125 / 100}, RECTL{0, 0, w - 1, h - 1}); }

using Bytes = std::vector<std::uint8_t>;
void put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// The source fields of the blit records: xformSrc (identity), crBkColorSrc,
// iUsageSrc, offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc, for a DIB placed
// right after a fixed part of `fixed` bytes (type and size included).
void put_source(Bytes& b, const Dib& dib, std::uint32_t fixed) {
  for (float v : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) put32(b, EmfBuilder::f(v));
  put32(b, 0);                                                          // crBkColorSrc
  put32(b, DIB_RGB_COLORS);                                             // iUsageSrc
  put32(b, fixed);                                                      // offBmiSrc
  put32(b, static_cast<std::uint32_t>(dib.info().size()));              // cbBmiSrc
  put32(b, fixed + static_cast<std::uint32_t>(dib.info().size()));      // offBitsSrc
  put32(b, static_cast<std::uint32_t>(dib.bits.size()));                // cbBitsSrc
}

void put_dest(Bytes& b, int x, int y, int cx, int cy) {
  for (int v : {x, y, x + cx - 1, y + cy - 1, x, y, cx, cy}) put32(b, static_cast<std::uint32_t>(v));  // rclBounds, dest
}

// EMR_ALPHABLEND of the whole DIB into (x, y, cx, cy).
void alpha_blend(EmfBuilder& b, const Dib& dib, int x, int y, int cx, int cy, BLENDFUNCTION f) {
  Bytes body;
  put_dest(body, x, y, cx, cy);
  body.insert(body.end(), {f.BlendOp, f.BlendFlags, f.SourceConstantAlpha, f.AlphaFormat});  // BLENDFUNCTION
  put32(body, 0);                                                                          // xSrc
  put32(body, 0);                                                                          // ySrc
  put_source(body, dib, 108);
  put32(body, static_cast<std::uint32_t>(dib.width));              // cxSrc
  put32(body, static_cast<std::uint32_t>(std::abs(dib.height)));   // cySrc
  append(body, dib.info());
  append(body, dib.bits);
  b.raw(EMR_ALPHABLEND, body);
}

// EMR_TRANSPARENTBLT of the whole DIB into (x, y, cx, cy).
void transparent_blt(EmfBuilder& b, const Dib& dib, int x, int y, int cx, int cy, COLORREF key) {
  Bytes body;
  put_dest(body, x, y, cx, cy);
  put32(body, key);  // TransparentColor
  put32(body, 0);    // xSrc
  put32(body, 0);    // ySrc
  put_source(body, dib, 108);
  put32(body, static_cast<std::uint32_t>(dib.width));
  put32(body, static_cast<std::uint32_t>(std::abs(dib.height)));
  append(body, dib.info());
  append(body, dib.bits);
  b.raw(EMR_TRANSPARENTBLT, body);
}

// EMR_CREATEMONOBRUSH: ihBrush, iUsage, offBmi, cbBmi, offBits, cbBits, DIB.
void create_mono_brush(EmfBuilder& b, std::uint32_t index, const Dib& dib) {
  Bytes body;
  put32(body, index);
  put32(body, DIB_RGB_COLORS);
  put32(body, 32);
  put32(body, static_cast<std::uint32_t>(dib.info().size()));
  put32(body, 32 + static_cast<std::uint32_t>(dib.info().size()));
  put32(body, static_cast<std::uint32_t>(dib.bits.size()));
  append(body, dib.info());
  append(body, dib.bits);
  b.raw(EMR_CREATEMONOBRUSH, body);
}

// A 1-bit 2 x 2 DIB: top row 0 1, bottom row 1 0; table black, white.
Dib two_by_two_mono() {
  Dib dib;
  dib.width = 2;
  dib.height = 2;
  dib.bit_count = 1;
  dib.colors = {0x000000, 0xFFFFFF};
  dib.bits = {0x80, 0, 0, 0, 0x40, 0, 0, 0};  // bottom row first
  return dib;
}

TEST(BitmapRecords, StretchDibitsScalesAndClearsTheFourthByte) {
  Target t(8, 8);
  EmfBuilder b = picture(8, 8);
  stretch_dib(b, make_dib(2, 1, 24, {0x112233, 0x445566}), 2, 2, 4, 2);
  t.play(b);
  EXPECT_EQ(t.at(2, 2), 0x00112233u);
  EXPECT_EQ(t.at(3, 3), 0x00112233u);
  EXPECT_EQ(t.at(4, 2), 0x00445566u);
  EXPECT_EQ(t.at(5, 3), 0x00445566u);
  EXPECT_EQ(t.at(6, 2), kUntouched);
  EXPECT_EQ(t.at(2, 4), kUntouched);
}

TEST(BitmapRecords, ThirtyTwoBitSourceKeepsItsFourthByte) {
  Target t(4, 4);
  EmfBuilder b = picture(4, 4);
  Dib dib = make_dib(1, 1, 32, {0x102030});
  dib.bits[3] = 77;  // the source's own fourth byte
  bit_blt(b, &dib, 1, 1, 1, 1, SRCCOPY);
  t.play(b);
  EXPECT_EQ(t.at(1, 1), 0x4D102030u);
}

TEST(BitmapRecords, BitBltWithoutBitmapPaintsWithTheBrush) {
  Target t(8, 4);
  EmfBuilder b = picture(8, 4);
  b.create_brush(1, BS_SOLID, RGB(0, 200, 0)).select_object(1);
  bit_blt(b, nullptr, 0, 0, 2, 2, PATCOPY);
  bit_blt(b, nullptr, 2, 0, 2, 2, DSTINVERT);  // inverts the fourth byte too
  bit_blt(b, nullptr, 4, 0, 2, 2, SRCCOPY);    // needs a source: nothing drawn
  t.play(b);
  EXPECT_EQ(t.at(1, 1), 0x0000C800u);
  EXPECT_EQ(t.at(3, 1), 0x00FFFFFFu);
  EXPECT_EQ(t.at(5, 1), kUntouched);
}

TEST(BitmapRecords, MappingModeScalesTheDestination) {
  Target t(8, 8);
  EmfBuilder b = picture(8, 8);
  b.set_map_mode(MM_ANISOTROPIC).set_window_ext(1, 1).set_viewport_ext(2, 2);
  stretch_dib(b, make_dib(1, 1, 24, {0xABCDEF}), 1, 1, 2, 2);  // logical 1..3 = device 2..6
  t.play(b);
  EXPECT_EQ(t.at(1, 1), kUntouched);
  EXPECT_EQ(t.at(2, 2), 0x00ABCDEFu);
  EXPECT_EQ(t.at(5, 5), 0x00ABCDEFu);
  EXPECT_EQ(t.at(6, 6), kUntouched);
}

TEST(BitmapRecords, MonoBrushUsesTextAndBackgroundColours) {
  Target t(4, 4);
  EmfBuilder b = picture(4, 4);
  b.set_text_color(RGB(255, 0, 0)).set_bk_color(RGB(0, 0, 255));
  create_mono_brush(b, 1, two_by_two_mono());
  b.select_object(1);
  bit_blt(b, nullptr, 0, 0, 4, 4, PATCOPY);
  t.play(b);
  EXPECT_EQ(t.at(0, 0), 0x00FF0000u);  // 0 bit: text colour
  EXPECT_EQ(t.at(1, 0), 0x000000FFu);  // 1 bit: background colour
  EXPECT_EQ(t.at(2, 0), 0x00FF0000u);  // the pattern repeats every two pixels
  EXPECT_EQ(t.at(2, 1), 0x000000FFu);
}

TEST(BitmapRecords, MonoBrushWithOtherColoursKeepsItsTable) {
  Target t(4, 4);
  EmfBuilder b = picture(4, 4);
  b.set_text_color(RGB(255, 0, 0)).set_bk_color(RGB(0, 0, 255));
  Dib dib = two_by_two_mono();
  dib.colors = {0x555555, 0xAAAAAA};  // not plain black and white
  create_mono_brush(b, 1, dib);
  b.select_object(1);
  bit_blt(b, nullptr, 0, 0, 4, 4, PATCOPY);
  t.play(b);
  EXPECT_EQ(t.at(0, 0), 0x00555555u);
  EXPECT_EQ(t.at(1, 0), 0x00AAAAAAu);
}

TEST(BitmapRecords, DibPatternBrushUsesItsColourTable) {
  Target t(4, 4);
  EmfBuilder b = picture(4, 4);
  Dib dib = two_by_two_mono();
  dib.colors = {0x00C800, 0xFFFF00};
  create_dib_pattern_brush(b, 1, dib);
  b.select_object(1);
  bit_blt(b, nullptr, 0, 0, 4, 4, PATCOPY);
  t.play(b);
  EXPECT_EQ(t.at(0, 0), 0x0000C800u);
  EXPECT_EQ(t.at(1, 0), 0x00FFFF00u);
}

// A pattern-brush record (EMR_CREATEDIBPATTERNBRUSHPT or EMR_CREATEMONOBRUSH)
// with the given usage and packed header and colour table.
void pattern_brush(EmfBuilder& b, std::uint32_t type, std::uint32_t usage, const Bytes& info, const Bytes& bits) {
  Bytes body;
  put32(body, 1);
  put32(body, usage);
  put32(body, 32);
  put32(body, static_cast<std::uint32_t>(info.size()));
  put32(body, 32 + static_cast<std::uint32_t>(info.size()));
  put32(body, static_cast<std::uint32_t>(bits.size()));
  append(body, info);
  append(body, bits);
  b.raw(type, body);
}

TEST(BitmapRecords, PaletteColourPatternIndexesTheSelectedPalette) {
  Target t(4, 4);
  EmfBuilder b = picture(4, 4);
  Bytes palette;  // EMR_CREATEPALETTE: ihPal, version, count, entries (R, G, B, flags)
  put32(palette, 2);
  put32(palette, 0x300 | (3u << 16));
  for (std::uint32_t rgb : {0x000011u, 0x002200u, 0x330000u}) put32(palette, rgb);
  b.raw(EMR_CREATEPALETTE, palette);
  b.record(EMR_SELECTPALETTE, {2}).record(EMR_REALIZEPALETTE, {});
  const Dib dib = two_by_two_mono();
  const Bytes full = dib.info();
  Bytes info(full.begin(), full.begin() + 40);
  for (std::uint8_t byte : {2, 0, 1, 0}) info.push_back(byte);  // 16-bit indices 2 and 1
  pattern_brush(b, EMR_CREATEDIBPATTERNBRUSHPT, DIB_PAL_COLORS, info, dib.bits);
  b.select_object(1);
  bit_blt(b, nullptr, 0, 0, 4, 4, PATCOPY);
  t.play(b);
  EXPECT_EQ(t.at(0, 0), 0x00000033u);  // 0 bits: palette entry 2 (red 0x33)
  EXPECT_EQ(t.at(1, 0), 0x00002200u);  // 1 bits: entry 1
}

TEST(BitmapRecords, MonoBrushMarkedPalMonoUsesTextAndBackgroundColours) {
  Target t(4, 4);
  EmfBuilder b = picture(4, 4);
  b.set_text_color(RGB(255, 0, 0)).set_bk_color(RGB(0, 0, 255));
  Dib dib = two_by_two_mono();
  dib.colors = {0x555555, 0xAAAAAA};  // a table that DIB_PAL_MONO says not to use
  pattern_brush(b, EMR_CREATEMONOBRUSH, 2 /* DIB_PAL_MONO */, dib.info(), dib.bits);
  b.select_object(1);
  bit_blt(b, nullptr, 0, 0, 4, 4, PATCOPY);
  t.play(b);
  EXPECT_EQ(t.at(0, 0), 0x00FF0000u);
  EXPECT_EQ(t.at(1, 0), 0x000000FFu);
}

TEST(BitmapRecords, AlphaBlendAndTransparentBlt) {
  Target t(4, 2);
  EmfBuilder b = picture(4, 2);
  Dib premultiplied = make_dib(1, 1, 32, {0x404040});
  premultiplied.bits[3] = 0x80;  // coverage 128
  alpha_blend(b, premultiplied, 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
  transparent_blt(b, make_dib(2, 1, 24, {0x00FF00, 0x123456}), 2, 0, 2, 1, RGB(0, 255, 0));
  t.play(b);
  EXPECT_EQ(t.at(0, 0), 0xFF404040u) << "128 + 255 * 127 / 255 over the untouched key";
  EXPECT_EQ(t.at(2, 0), kUntouched) << "the transparent colour is skipped";
  EXPECT_EQ(t.at(3, 0), 0x00123456u);
}

TEST(BitmapRecords, GradientFillRectangleWritesVertexAlpha) {
  Target t(4, 2);
  EmfBuilder b = picture(4, 2);
  Bytes body;
  for (int v : {0, 0, 4, 2}) put32(body, static_cast<std::uint32_t>(v));  // rclBounds
  put32(body, 2);                                  // nVer
  put32(body, 1);                                  // nTri
  put32(body, GRADIENT_FILL_RECT_H);               // ulMode
  put32(body, 0), put32(body, 0);                  // vertex 0: x, y
  put32(body, 0x00000000), put32(body, 0x80000000);  // red 0, green 0, blue 0, alpha 0x8000
  put32(body, 4), put32(body, 2);                  // vertex 1
  put32(body, 0x0000FF00), put32(body, 0xFFFF0000);  // red 0xFF00, green 0, blue 0, alpha 0xFFFF
  put32(body, 0), put32(body, 1);                  // GRADIENT_RECT: upper left, lower right
  b.raw(EMR_GRADIENTFILL, body);
  t.play(b);
  EXPECT_EQ(t.at(0, 0), 0x80000000u);
  EXPECT_EQ(t.at(2, 1), 0xBF7F0000u);
}

TEST(BitmapRecords, MalformedRecordsDrawNothing) {
  Target t(4, 4);
  EmfBuilder b = picture(4, 4);
  const Dib dib = make_dib(1, 1, 24, {0x123456});
  Bytes cut;
  put_dest(cut, 0, 0, 4, 4);  // an ALPHABLEND that ends after its destination
  b.raw(EMR_ALPHABLEND, cut);
  Bytes outside;
  put_dest(outside, 0, 0, 4, 4);
  put32(outside, SRCCOPY);
  put32(outside, 0), put32(outside, 0);
  put_source(outside, dib, 0x7FFFFFF0);  // offsets far past the record
  b.raw(EMR_BITBLT, outside);
  Bytes huge_gradient;
  for (int v : {0, 0, 4, 4}) put32(huge_gradient, static_cast<std::uint32_t>(v));
  put32(huge_gradient, 0xFFFFFFFF), put32(huge_gradient, 1), put32(huge_gradient, GRADIENT_FILL_TRIANGLE);
  b.raw(EMR_GRADIENTFILL, huge_gradient);
  t.play(b);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(t.at(x, y), kUntouched) << x << "," << y;
}

}  // namespace
}  // namespace velmora::test
