// The EMF player's vector drawing, checked pixel by pixel on small pictures
// whose frame maps one record unit to one device pixel.
#include "support/emf_builder.h"

#include "gdi/gdi_objects.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

namespace velmora::test {
namespace {

constexpr int kSide = 40;
constexpr std::uint32_t kBlank = 0xFFFFFFFF;  // white with the alpha key: untouched
constexpr std::uint32_t kRed = 0x00FF0000;    // drawn pixels carry alpha 0
constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kBlue = 0x000000FF;

// The reference device of EmfBuilder has 3.2 pixels a millimetre, so a frame
// of 1250 x 1250 hundredths of a millimetre is 40 x 40 reference pixels.
EmfBuilder picture() { return EmfBuilder(RECTL{0, 0, 1250, 1250}, RECTL{0, 0, kSide - 1, kSide - 1}); }

// Plays the picture into a top-down 40 x 40 DIB pre-filled with kBlank.
std::vector<std::uint32_t> play(const EmfBuilder& b) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::fill(pixels, pixels + kSide * kSide, kBlank);
  HENHMETAFILE emf = b.handle();
  const RECT rect{0, 0, kSide, kSide};
  EXPECT_TRUE(PlayEnhMetaFile(dc, emf, &rect));
  std::vector<std::uint32_t> out(pixels, pixels + kSide * kSide);
  DeleteEnhMetaFile(emf);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return out;
}

std::uint32_t at(const std::vector<std::uint32_t>& px, int x, int y) { return px[y * kSide + x]; }

// Pixels in a row that are not kBlank, as [first, last]; {-1, -1} when none.
std::pair<int, int> drawn_extent(const std::vector<std::uint32_t>& px, int y) {
  int first = -1, last = -1;
  for (int x = 0; x < kSide; ++x) {
    if (at(px, x, y) != kBlank) {
      if (first < 0) first = x;
      last = x;
    }
  }
  return {first, last};
}

EmfBuilder& red_brush(EmfBuilder& b) { return b.create_brush(1, BS_SOLID, RGB(255, 0, 0)).select_object(1); }

// Metafiles play in the advanced graphics mode, where a rectangle's pen
// covers its right and bottom edges; the fill stays inside them.
TEST(PlayerShapes, RectanglePenCoversTheRightAndBottomEdges) {
  EmfBuilder b = picture();
  red_brush(b).rectangle(10, 10, 20, 20);
  const auto px = play(b);
  EXPECT_EQ(at(px, 10, 10), kBlack);  // the stock black pen on the border
  EXPECT_EQ(at(px, 20, 20), kBlack);
  EXPECT_EQ(at(px, 19, 19), kRed);
  EXPECT_EQ(at(px, 21, 15), kBlank);
  EXPECT_EQ(at(px, 9, 9), kBlank);
}

TEST(PlayerShapes, NullPenRectangleFillsTheBox) {
  EmfBuilder b = picture();
  red_brush(b).select_stock(NULL_PEN).rectangle(10, 10, 20, 20);
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 15), std::make_pair(10, 19));
  EXPECT_EQ(at(px, 10, 10), kRed);
  EXPECT_EQ(at(px, 15, 20), kBlank);
}

TEST(PlayerShapes, LineToLeavesOutItsLastPixelAndMovesTheCurrentPosition) {
  EmfBuilder b = picture();
  b.move_to(5, 5).line_to(15, 5).line_to(15, 10);
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 5), std::make_pair(5, 15));  // the corner comes from the second line
  EXPECT_EQ(at(px, 15, 9), kBlack);
  EXPECT_EQ(at(px, 15, 10), kBlank);
}

TEST(PlayerShapes, EllipseIsSymmetricInsideItsBox) {
  EmfBuilder b = picture();
  red_brush(b).ellipse(10, 10, 31, 31);
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 20), std::make_pair(10, 30));
  EXPECT_EQ(at(px, 20, 20), kRed);
  EXPECT_EQ(at(px, 11, 11), kBlank);  // corners of the box stay clear
  const auto top = drawn_extent(px, 10);
  EXPECT_EQ(top.first + top.second, 40);  // centred on x = 20
}

TEST(PlayerShapes, PolygonFillModesDecideTheOverlap) {
  // A five-pointed star: its centre is inside twice.
  const std::vector<POINT> star{{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  EmfBuilder alternate = picture();
  red_brush(alternate).select_stock(NULL_PEN).polygon16(star);
  EmfBuilder winding = picture();
  red_brush(winding).select_stock(NULL_PEN).set_poly_fill_mode(WINDING).polygon16(star);
  EXPECT_EQ(at(play(alternate), 20, 20), kBlank);
  EXPECT_EQ(at(play(winding), 20, 20), kRed);
}

TEST(PlayerShapes, WidePenCoversItsWidthAroundTheLine) {
  EmfBuilder b = picture();
  b.create_pen(1, PS_SOLID, 5, RGB(0, 0, 255)).select_object(1).move_to(5, 20).line_to(35, 20);
  const auto px = play(b);
  EXPECT_EQ(at(px, 20, 18), kBlue);
  EXPECT_EQ(at(px, 20, 22), kBlue);
  EXPECT_EQ(at(px, 20, 17), kBlank);
  EXPECT_EQ(at(px, 20, 23), kBlank);
}

TEST(PlayerShapes, DashedCosmeticPenLeavesGapsAndOpaqueModePaintsThem) {
  EmfBuilder transparent = picture();
  transparent.set_bk_mode(TRANSPARENT).create_pen(1, PS_DOT, 0, RGB(0, 0, 0)).select_object(1);
  transparent.move_to(0, 5).line_to(39, 5);
  const auto px = play(transparent);
  EXPECT_EQ(at(px, 0, 5), kBlack);
  EXPECT_EQ(at(px, 3, 5), kBlank);
  EmfBuilder opaque = picture();
  opaque.set_bk_color(RGB(0, 0, 255)).create_pen(1, PS_DOT, 0, RGB(0, 0, 0)).select_object(1);
  opaque.move_to(0, 5).line_to(39, 5);
  EXPECT_EQ(at(play(opaque), 3, 5), kBlue);
}

TEST(PlayerShapes, XorPenInvertsTwiceBackToTheStart) {
  EmfBuilder b = picture();
  b.set_rop2(R2_XORPEN).create_pen(1, PS_SOLID, 0, RGB(255, 255, 255)).select_object(1);
  b.move_to(0, 5).line_to(20, 5);
  b.move_to(0, 6).line_to(20, 6).move_to(0, 6).line_to(20, 6);
  const auto px = play(b);
  EXPECT_EQ(at(px, 10, 5), kBlack);  // white XOR white; alpha cleared as drawn
  EXPECT_EQ(at(px, 10, 6), 0x00FFFFFFu);
}

// Counts the pixels of the 16 x 16 top-left square that hold a colour.
int count_in_square(const std::vector<std::uint32_t>& px, std::uint32_t color) {
  int n = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) n += at(px, x, y) == color;
  }
  return n;
}

TEST(PlayerShapes, HatchBrushPaintsBackgroundOnlyWhenOpaque) {
  EmfBuilder b = picture();
  b.create_brush(1, BS_HATCHED, RGB(255, 0, 0), HS_CROSS).select_object(1).select_stock(NULL_PEN);
  b.set_bk_mode(TRANSPARENT).rectangle(0, 0, 16, 16);
  const auto transparent = play(b);
  // One row and one column in each 8 x 8 cell: 2 * 16 + 2 * 16 - 4 crossings.
  EXPECT_EQ(count_in_square(transparent, kRed), 60);
  EXPECT_EQ(count_in_square(transparent, kBlank), 256 - 60);
  b.set_bk_mode(OPAQUE).set_bk_color(RGB(0, 0, 255)).rectangle(0, 0, 16, 16);
  const auto opaque = play(b);
  EXPECT_EQ(count_in_square(opaque, kRed), 60);
  EXPECT_EQ(count_in_square(opaque, kBlue), 256 - 60);
}

TEST(PlayerShapes, GeometricDashesAreMeasuredInPenWidths) {
  EmfBuilder b = picture();
  // EMR_EXTCREATEPEN: index, no bitmap (4 fields), style, width 4, BS_SOLID, blue, hatch, no dashes.
  b.record(EMR_EXTCREATEPEN,
           {1, 0, 0, 0, 0, PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 4, BS_SOLID, RGB(0, 0, 255), 0, 0});
  b.select_object(1).move_to(0, 10).line_to(40, 10);
  const auto px = play(b);
  // A dash of three widths, then a gap of one (pixel 12 sits on the edge).
  EXPECT_EQ(at(px, 1, 10), kBlue);
  EXPECT_EQ(at(px, 11, 10), kBlue);
  EXPECT_EQ(at(px, 13, 10), kBlank);
  EXPECT_EQ(at(px, 15, 10), kBlank);
  EXPECT_EQ(at(px, 17, 10), kBlue);
}

TEST(PlayerShapes, PaletteIndexColoursComeFromTheSelectedPalette) {
  EmfBuilder b = picture();
  // EMR_CREATEPALETTE: index 2, LOGPALETTE version 0x300 with two entries (R, G, B, flags).
  b.record(EMR_CREATEPALETTE, {2, 0x300 | (2u << 16), 0x0000FF00, 0x00FF0000});
  b.record(EMR_SELECTPALETTE, {2});
  b.create_brush(1, BS_SOLID, 0x01000001).select_object(1).select_stock(NULL_PEN).rectangle(0, 0, 4, 4);
  EXPECT_EQ(at(play(b), 1, 1), kBlue);
}

TEST(PlayerTransforms, AnisotropicMappingScalesAndMoves) {
  EmfBuilder b = picture();
  b.set_map_mode(MM_ANISOTROPIC).set_window_ext(100, 100).set_viewport_ext(20, 20).set_viewport_org(10, 10);
  red_brush(b).select_stock(NULL_PEN).rectangle(0, 0, 50, 50);
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 12), std::make_pair(10, 19));
  EXPECT_EQ(drawn_extent(px, 9), std::make_pair(-1, -1));
}

// Metric modes measure against the picture's reference device, so that a
// picture drawn in millimetres fills its frame.
TEST(PlayerTransforms, MetricModesUseThePicturesReferenceDevice) {
  EmfBuilder b = picture();  // reference device of 3.2 pixels per millimetre, frame played at 1:1
  b.set_map_mode(MM_LOMETRIC);
  red_brush(b).select_stock(NULL_PEN).rectangle(0, 0, 50, -50);  // 5 mm: 16 pixels
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 0), std::make_pair(0, 15));
  EXPECT_EQ(drawn_extent(px, 16), std::make_pair(-1, -1));
}

// A pixel is filled when its own point lies inside, left and top edges
// included: a triangle's sloping edge decides by the point, not the area.
TEST(PlayerShapes, PolygonFillSamplesEachPixelAtItsPoint) {
  EmfBuilder b = picture();
  red_brush(b).select_stock(NULL_PEN).polygon16({{3, 2}, {37, 15}, {10, 38}});
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 2), std::make_pair(-1, -1));  // only the vertex, on a top edge's end
  EXPECT_EQ(drawn_extent(px, 3), std::make_pair(4, 5));    // x from 3.19 to 5.61
}

TEST(PlayerTransforms, WindowExtentsAreIgnoredInTextMode) {
  EmfBuilder b = picture();
  b.set_window_ext(100, 100).set_viewport_ext(20, 20);
  red_brush(b).select_stock(NULL_PEN).rectangle(0, 0, 10, 10);
  EXPECT_EQ(drawn_extent(play(b), 5), std::make_pair(0, 9));
}

TEST(PlayerTransforms, WorldTransformComposesAndSaveRestoreUndoesIt) {
  EmfBuilder b = picture();
  red_brush(b).select_stock(NULL_PEN);
  b.save_dc();
  b.set_world_transform(XFORM{2, 0, 0, 2, 0, 0});
  b.modify_world_transform(XFORM{1, 0, 0, 1, 5, 0}, MWT_LEFTMULTIPLY);  // translate, then scale
  b.rectangle(0, 0, 5, 5);                                              // -> (10,0)-(20,10)
  b.restore_dc(-1);
  b.rectangle(0, 20, 5, 25);
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 5), std::make_pair(10, 19));
  EXPECT_EQ(drawn_extent(px, 22), std::make_pair(0, 4));
}

TEST(PlayerTransforms, FrameScalesOntoThePlaybackRectangle) {
  // The same 40-pixel picture on a 20-pixel rectangle comes out half size.
  EmfBuilder b = picture();
  red_brush(b).select_stock(NULL_PEN).rectangle(0, 0, 20, 20);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  std::fill_n(static_cast<std::uint32_t*>(bits), kSide * kSide, kBlank);
  HENHMETAFILE emf = b.handle();
  const RECT rect{20, 20, 40, 40};
  ASSERT_TRUE(PlayEnhMetaFile(dc, emf, &rect));
  const std::vector<std::uint32_t> px(static_cast<std::uint32_t*>(bits),
                                      static_cast<std::uint32_t*>(bits) + kSide * kSide);
  EXPECT_EQ(drawn_extent(px, 25), std::make_pair(20, 29));
  EXPECT_EQ(drawn_extent(px, 31), std::make_pair(-1, -1));
  DeleteEnhMetaFile(emf);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(PlayerPaths, FillPathUsesTheBrushAndDiscardsThePath) {
  EmfBuilder b = picture();
  red_brush(b).record(EMR_BEGINPATH, {});
  b.move_to(10, 10).line_to(30, 10).line_to(30, 30).line_to(10, 30);
  b.record(EMR_CLOSEFIGURE, {}).record(EMR_ENDPATH, {});
  b.record(EMR_FILLPATH, {0, 0, 0, 0});
  b.record(EMR_STROKEPATH, {0, 0, 0, 0});  // nothing left to stroke
  const auto px = play(b);
  EXPECT_EQ(drawn_extent(px, 20), std::make_pair(10, 29));
  EXPECT_EQ(at(px, 10, 10), kRed);
}

TEST(PlayerPaths, ShapesInsideABracketDrawNothingUntilStroked) {
  EmfBuilder b = picture();
  b.record(EMR_BEGINPATH, {}).rectangle(10, 10, 20, 20).record(EMR_ENDPATH, {});
  EXPECT_EQ(drawn_extent(play(b), 10), std::make_pair(-1, -1));
  b.record(EMR_STROKEPATH, {0, 0, 0, 0});
  EXPECT_EQ(drawn_extent(play(b), 10), std::make_pair(10, 20));
}

TEST(PlayerRobustness, SkipsUnknownAndMalformedRecordsAndKeepsPlaying) {
  EmfBuilder b = picture();
  b.record(0x7777, {1, 2, 3});                                // unknown type
  b.record(EMR_RECTANGLE, {1, 2});                            // too short
  b.record(EMR_POLYGON16, {0, 0, 0, 0, 0xFFFFFFF});           // claims far more points than it holds
  b.record(EMR_SELECTOBJECT, {5000});                         // no such object
  b.create_brush(60000, BS_SOLID, RGB(0, 255, 0));            // index beyond the table
  b.record(EMR_RESTOREDC, {static_cast<std::uint32_t>(-3)});  // nothing saved
  red_brush(b).select_stock(NULL_PEN).rectangle(0, 0, 4, 4);
  const auto px = play(b);
  EXPECT_EQ(at(px, 1, 1), kRed);
  EXPECT_EQ(velmora::platform::live_object_count(velmora::platform::ObjectKind::Brush), 0u);
}

TEST(PlayerRobustness, PlaybackLeavesTheContextAsItWas) {
  EmfBuilder b = picture();
  b.set_map_mode(MM_ANISOTROPIC).set_window_ext(1, 1).set_viewport_ext(4, 4).save_dc().save_dc();
  b.create_pen(1, PS_SOLID, 3, RGB(1, 2, 3)).select_object(1);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HENHMETAFILE emf = b.handle();
  const RECT rect{0, 0, 8, 8};
  ASSERT_TRUE(PlayEnhMetaFile(dc, emf, &rect));
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
  EXPECT_EQ(velmora::platform::live_object_count(velmora::platform::ObjectKind::Pen), 0u);
  EXPECT_FALSE(PlayEnhMetaFile(dc, emf, nullptr));
  EXPECT_FALSE(PlayEnhMetaFile(dc, nullptr, &rect));
  DeleteEnhMetaFile(emf);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
}  // namespace velmora::test
