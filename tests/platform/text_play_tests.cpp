// The text records through PlayEnhMetaFile: fonts in the object table,
// ExtTextOut's options, alignment with the current position, the background
// mode, and malformed records that must draw nothing.
#include "support/emf_builder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <cstring>
#include <string>

namespace {

using velmora::test::EmfBuilder;

constexpr int kSize = 320;  // the builder's 100 mm frame is 320 reference pixels: playback is 1:1
constexpr std::uint32_t kUntouched = 0xFFFFFFFF;  // white with alpha 255

struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  std::uint32_t* pixels = nullptr;

  Canvas() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;  // top-down, so pixel (x, y) is pixels[y * kSize + x]
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<std::uint32_t*>(bits);
    previous = SelectObject(dc, bitmap);
    for (int i = 0; i < kSize * kSize; ++i) pixels[i] = kUntouched;
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  void play(const EmfBuilder& emf) {
    HENHMETAFILE picture = emf.handle();
    ASSERT_NE(picture, nullptr);
    const RECT rect{0, 0, kSize, kSize};
    PlayEnhMetaFile(dc, picture, &rect);
    DeleteEnhMetaFile(picture);
  }
  std::uint32_t at(int x, int y) const { return pixels[y * kSize + x]; }

  // The box of pixels the drawing touched (alpha byte 0); empty when none.
  RECT touched() const {
    RECT box{kSize, kSize, 0, 0};
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        if ((at(x, y) >> 24) == 0) box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                          std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    return box;
  }
  // Every touched pixel has its alpha byte 0 and is not white.
  bool touched_pixels_are_ink() const {
    for (int i = 0; i < kSize * kSize; ++i)
      if (pixels[i] != kUntouched && (pixels[i] >> 24) != 0) return false;
    return true;
  }
};

bool empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

LOGFONTW arial(int height) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  std::wcscpy(lf.lfFaceName, L"Arial");
  return lf;
}

// A picture that makes font 1 and selects it, on a transparent background.
EmfBuilder with_font(const LOGFONTW& font) {
  EmfBuilder emf;
  emf.ext_create_font(1, font).select_object(1).set_bk_mode(TRANSPARENT);
  return emf;
}

TEST(TextPlayback, DrawsTheStringBelowTheReferencePointWithTopAlignment) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-40));
  emf.set_text_color(RGB(0, 0, 255)).ext_text_out_w({50, 100}, u"Hello");
  canvas.play(emf);
  const RECT ink = canvas.touched();
  ASSERT_FALSE(empty(ink));
  EXPECT_NEAR(ink.left, 50 + 3, 3);    // the H's left side bearing
  EXPECT_NEAR(ink.top, 100 + 7, 3);    // ascent (36) less the cap height (28)
  EXPECT_NEAR(ink.bottom, 100 + 36, 2);
  EXPECT_NEAR(ink.right, 50 + 88, 6);  // "Hello" is 2.2 em wide in Arial
  EXPECT_TRUE(canvas.touched_pixels_are_ink());
  EXPECT_EQ(canvas.at(55, 120) & 0xFFFFFF, 0x0000FFu) << "the H's stem is blue (B in the low byte)";
}

TEST(TextPlayback, OpaqueRectangleIsFilledWithTheBackgroundColour) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-20));
  emf.set_bk_color(RGB(255, 0, 0)).ext_text_out_w({10, 10}, u"", {}, ETO_OPAQUE, {20, 30, 60, 50});
  canvas.play(emf);
  const RECT ink = canvas.touched();
  EXPECT_EQ(ink.left, 20);
  EXPECT_EQ(ink.top, 30);
  EXPECT_EQ(ink.right, 60);
  EXPECT_EQ(ink.bottom, 50);
  EXPECT_EQ(canvas.at(40, 40), 0x00FF0000u);
}

TEST(TextPlayback, ClippedOptionKeepsGlyphsInsideTheRectangle) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-60));
  emf.ext_text_out_w({20, 20}, u"WWWW", {}, ETO_CLIPPED, {0, 0, 100, 50});
  canvas.play(emf);
  const RECT ink = canvas.touched();
  ASSERT_FALSE(empty(ink));
  EXPECT_LE(ink.right, 100);
  EXPECT_LE(ink.bottom, 50);
}

TEST(TextPlayback, OpaqueBackgroundModeFillsTheCell) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-20));
  emf.set_bk_mode(OPAQUE).set_bk_color(RGB(0, 255, 0)).ext_text_out_w({10, 10}, u"ab", {12, 12});
  canvas.play(emf);
  const RECT ink = canvas.touched();
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.top, 10);
  EXPECT_EQ(ink.right, 34);
  EXPECT_NEAR(ink.bottom, 10 + 23, 1);  // cell height of a 20-unit em
}

TEST(TextPlayback, UpdateCurrentPositionChainsRuns) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-30));
  emf.set_text_align(TA_UPDATECP | TA_TOP | TA_LEFT).move_to(40, 40);
  emf.ext_text_out_w({0, 0}, u"I", {100}).ext_text_out_w({0, 0}, u"I", {100});
  canvas.play(emf);
  const RECT ink = canvas.touched();
  ASSERT_FALSE(empty(ink));
  EXPECT_NEAR(ink.left, 40 + 3, 2);
  EXPECT_NEAR(ink.right, 140 + 3 + 4, 3);  // the second I starts 100 units on
  EXPECT_GT(ink.top, 40);
}

TEST(TextPlayback, DeletedAndReplacedFontsComeFromTheObjectTable) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-10));
  emf.select_stock(SYSTEM_FONT).delete_object(1).ext_create_font(1, arial(-80)).select_object(1);
  emf.ext_text_out_w({10, 10}, u"H");
  canvas.play(emf);
  const RECT ink = canvas.touched();
  EXPECT_GT(ink.bottom - ink.top, 50);
}

TEST(TextPlayback, MalformedRecordsDrawNothing) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-20));
  std::vector<std::uint8_t> body(76, 0);
  auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(&body[at], &v, 4); };
  put(36, 5);           // nChars, with offString pointing past the record
  put(40, 4000);
  emf.raw(EMR_EXTTEXTOUTW, body);
  put(36, 0xFFFFFFF0);  // a count no record can hold
  put(40, 84);
  emf.raw(EMR_EXTTEXTOUTW, body);
  emf.raw(EMR_EXTTEXTOUTW, std::vector<std::uint8_t>(30, 0));          // cut short
  emf.raw(EMR_EXTCREATEFONTINDIRECTW, std::vector<std::uint8_t>(40, 0));  // LogFont cut short
  emf.raw(EMR_POLYTEXTOUTW, std::vector<std::uint8_t>(32, 0xFF));       // string count beyond the body
  canvas.play(emf);
  EXPECT_TRUE(empty(canvas.touched()));
}

TEST(TextPlayback, GreyEdgesAreMixedInGammaSpaceInSixteenths) {
  Canvas canvas;
  LOGFONTW font = arial(-120);
  font.lfEscapement = font.lfOrientation = 300;  // turned, so edges cross pixels at every coverage
  EmfBuilder emf = with_font(font);
  emf.ext_text_out_w({20, 250}, u"lOl");
  canvas.play(emf);
  std::set<std::uint32_t> allowed;
  for (int k = 0; k <= 16; ++k) {
    const auto v = static_cast<std::uint32_t>(std::lround(255 * std::pow(1 - k / 16.0, 1 / 2.3)));
    allowed.insert(v | v << 8 | v << 16);
  }
  int grey = 0;
  for (int i = 0; i < kSize * kSize; ++i) {
    if (canvas.pixels[i] == kUntouched) continue;
    const std::uint32_t rgb = canvas.pixels[i] & 0xFFFFFF;
    EXPECT_EQ(allowed.count(rgb), 1u) << std::hex << rgb;
    grey += rgb != 0;
  }
  EXPECT_GT(grey, 100);
}

// Random bodies for every text record, some with plausible counts and
// offsets: playback must stay inside each record and finish.
TEST(TextPlayback, SurvivesRandomTextRecords) {
  Canvas canvas;
  EmfBuilder emf = with_font(arial(-20));
  std::uint32_t state = 12345;
  auto next = [&] { return state = state * 1103515245u + 12345u; };
  for (std::uint32_t type : {EMR_EXTTEXTOUTW, EMR_EXTTEXTOUTA, EMR_POLYTEXTOUTW, EMR_POLYTEXTOUTA, EMR_SMALLTEXTOUT,
                             EMR_EXTCREATEFONTINDIRECTW}) {
    for (int n = 0; n < 150; ++n) {
      std::vector<std::uint8_t> body(next() % 160);
      for (std::uint8_t& b : body) b = static_cast<std::uint8_t>(next() >> 16);
      for (std::size_t at = 28; at + 4 <= body.size() && at <= 48; at += 4) {
        const std::uint32_t small = next() % 96;  // counts and offsets that land inside the record
        std::memcpy(&body[at], &small, 4);
      }
      emf.raw(type, body);
      if (type == EMR_EXTCREATEFONTINDIRECTW) emf.select_object(1);
    }
  }
  canvas.play(emf);
  SUCCEED();
}

}  // namespace
