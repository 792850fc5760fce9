// More of the player's records: arcs and their direction, pies, chords,
// AngleArc and ArcTo moving the current position, PolyDraw, poly-polygons,
// viewport scaling, absolute RestoreDC, SetPixelV, widened paths, and the
// raster layer's clipping and far-away lines.
#include "support/emf_builder.h"

#include "gdi/dc.h"
#include "gdi/dc_paint.h"
#include "raster/painter.h"
#include "raster/pixel_word.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

namespace velmora::test {
namespace {

constexpr int kSide = 40;
constexpr std::uint32_t kBlank = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0x00FF0000;
constexpr std::uint32_t kBlack = 0x00000000;

// A 40 x 40 picture whose frame maps one record unit to one pixel.
EmfBuilder picture() { return EmfBuilder(RECTL{0, 0, 1250, 1250}, RECTL{0, 0, kSide - 1, kSide - 1}); }

// A memory context with a top-down 40 x 40 DIB section of kBlank pixels.
class Canvas {
 public:
  Canvas() {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    pixels_ = static_cast<std::uint32_t*>(bits);
    std::fill_n(pixels_, kSide * kSide, kBlank);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  void play(const EmfBuilder& b) {
    HENHMETAFILE emf = b.handle();
    const RECT rect{0, 0, kSide, kSide};
    EXPECT_TRUE(PlayEnhMetaFile(dc_, emf, &rect));
    DeleteEnhMetaFile(emf);
  }
  std::uint32_t at(int x, int y) const { return pixels_[y * kSide + x]; }
  int count(std::uint32_t value, int x0 = 0, int y0 = 0, int x1 = kSide, int y1 = kSide) const {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) n += at(x, y) == value;
    }
    return n;
  }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  std::uint32_t* pixels_;
};

EmfBuilder& arc(EmfBuilder& b, std::uint32_t type, RECT box, POINT from, POINT to) {
  return b.record(type,
                  {EmfBuilder::u(box.left), EmfBuilder::u(box.top), EmfBuilder::u(box.right), EmfBuilder::u(box.bottom),
                   EmfBuilder::u(from.x), EmfBuilder::u(from.y), EmfBuilder::u(to.x), EmfBuilder::u(to.y)});
}

TEST(PlayerArcs, DirectionChoosesTheHalfOfTheEllipse) {
  // From the right end to the left end: counter-clockwise runs over the top.
  EmfBuilder ccw = picture();
  arc(ccw, EMR_ARC, {5, 5, 35, 35}, {40, 20}, {0, 20});
  Canvas a;
  a.play(ccw);
  EXPECT_GT(a.count(kBlack, 0, 0, kSide, 15), 10);
  EXPECT_EQ(a.count(kBlack, 0, 25, kSide, kSide), 0);
  EmfBuilder cw = picture();
  cw.record(EMR_SETARCDIRECTION, {AD_CLOCKWISE});
  arc(cw, EMR_ARC, {5, 5, 35, 35}, {40, 20}, {0, 20});
  Canvas b;
  b.play(cw);
  EXPECT_EQ(b.count(kBlack, 0, 0, kSide, 15), 0);
  EXPECT_GT(b.count(kBlack, 0, 25, kSide, kSide), 10);
}

TEST(PlayerArcs, PieAndChordFillTheirSlices) {
  EmfBuilder pie = picture();
  pie.create_brush(1, BS_SOLID, RGB(255, 0, 0)).select_object(1);
  arc(pie, EMR_PIE, {5, 5, 36, 36}, {36, 20}, {20, 5});  // the top-right quarter
  Canvas a;
  a.play(pie);
  EXPECT_EQ(a.at(27, 13), kRed);
  EXPECT_EQ(a.at(13, 13), kBlank);
  EXPECT_EQ(a.at(27, 27), kBlank);
  EmfBuilder chord = picture();
  chord.create_brush(1, BS_SOLID, RGB(255, 0, 0)).select_object(1);
  arc(chord, EMR_CHORD, {5, 5, 36, 36}, {36, 20}, {5, 20});  // the top half
  Canvas b;
  b.play(chord);
  EXPECT_EQ(b.at(20, 10), kRed);
  EXPECT_EQ(b.at(20, 30), kBlank);
}

TEST(PlayerArcs, ArcToAndAngleArcJoinAndMoveTheCurrentPosition) {
  EmfBuilder b = picture();
  b.move_to(2, 20);
  arc(b, EMR_ARCTO, {10, 10, 31, 31}, {31, 20}, {10, 20});  // the line runs to the arc's start at the right
  b.line_to(2, 38);                                         // from the arc's end at the left
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.at(20, 20), kBlack);  // on the joining line
  EXPECT_EQ(c.at(6, 29), kBlack);   // on the line from (10, 20) to (2, 38)

  EmfBuilder angle = picture();
  // EMR_ANGLEARC: centre (20, 20), radius 10, start 0, sweep 180 degrees.
  angle.move_to(20, 20).record(EMR_ANGLEARC, {20, 20, 10, EmfBuilder::f(0.0f), EmfBuilder::f(180.0f)});
  angle.line_to(10, 38);
  Canvas d;
  d.play(angle);
  EXPECT_EQ(d.at(25, 20), kBlack);  // the line from the centre to the start
  EXPECT_EQ(d.at(10, 30), kBlack);  // the line on from the arc's end at (10, 20)
}

TEST(PlayerPolys, PolyDrawFollowsItsPointTypes) {
  EmfBuilder b = picture();
  // Bounds, count 4, the points, then PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE, PT_MOVETO.
  b.record(EMR_POLYDRAW,
           {0, 0, 0, 0, 4, 5, 5, 30, 5, 30, 30, 2, 38, 0x06 | (0x02 << 8) | (0x03u << 16) | (0x06u << 24)});
  b.line_to(10, 38);
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.at(15, 5), kBlack);   // first line
  EXPECT_EQ(c.at(30, 15), kBlack);  // second line
  EXPECT_EQ(c.at(17, 17), kBlack);  // the closing line back to (5, 5)
  EXPECT_EQ(c.at(6, 38), kBlack);   // LineTo from the last move to (2, 38)
}

TEST(PlayerPolys, PolyPolygonFillsEachPolygon) {
  EmfBuilder b = picture();
  b.create_brush(1, BS_SOLID, RGB(255, 0, 0)).select_object(1).select_stock(NULL_PEN);
  // Bounds, 2 polygons, 8 points, counts 4 and 4, then the points as POINTS.
  auto pt = [](int x, int y) { return (static_cast<std::uint32_t>(y) << 16) | static_cast<std::uint32_t>(x); };
  b.record(EMR_POLYPOLYGON16, {0, 0, 0, 0, 2, 8, 4, 4, pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10), pt(20, 20),
                               pt(30, 20), pt(30, 30), pt(20, 30)});
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.count(kRed, 0, 0, 10, 10), 100);  // corners included
  EXPECT_EQ(c.count(kRed, 20, 20, 30, 30), 100);
  EXPECT_EQ(c.count(kRed), 200);
}

TEST(PlayerState, ScaleViewportAndAbsoluteRestore) {
  EmfBuilder b = picture();
  b.create_brush(1, BS_SOLID, RGB(255, 0, 0)).select_object(1).select_stock(NULL_PEN);
  b.save_dc();  // level 1
  b.set_map_mode(MM_ANISOTROPIC).set_window_ext(10, 10).set_viewport_ext(10, 10);
  b.save_dc();                                     // level 2
  b.record(EMR_SCALEVIEWPORTEXTEX, {3, 1, 2, 1});  // x3, x2
  b.rectangle(0, 0, 5, 5);                         // -> 15 x 10
  b.restore_dc(1);                                 // back to MM_TEXT
  b.rectangle(0, 30, 5, 35);
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.count(kRed, 0, 0, kSide, 20), 150);
  EXPECT_EQ(c.count(kRed, 0, 20, kSide, kSide), 25);
}

TEST(PlayerState, SetPixelIgnoresTheRasterOperation) {
  EmfBuilder b = picture();
  b.set_rop2(R2_NOP).record(EMR_SETPIXELV, {7, 9, RGB(255, 0, 0)});
  b.move_to(0, 0).line_to(39, 0);  // R2_NOP: the line leaves no trace
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.at(7, 9), kRed);
  EXPECT_EQ(c.count(kBlank), kSide * kSide - 1);
}

TEST(PlayerPaths, WidenedPathFillsThePensOutline) {
  EmfBuilder b = picture();
  b.create_brush(1, BS_SOLID, RGB(255, 0, 0)).select_object(1).create_pen(2, PS_SOLID, 6, RGB(0, 0, 0));
  b.select_object(2).record(EMR_BEGINPATH, {}).move_to(5, 20).line_to(35, 20).record(EMR_ENDPATH, {});
  b.record(EMR_WIDENPATH, {}).select_stock(NULL_PEN).record(EMR_FILLPATH, {0, 0, 0, 0});
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.at(20, 18), kRed);
  EXPECT_EQ(c.at(20, 22), kRed);
  EXPECT_EQ(c.at(20, 26), kBlank);
}

TEST(PlayerObjects, DeletingTheSelectedPenKeepsItsDrawing) {
  EmfBuilder b = picture();
  b.create_pen(1, PS_SOLID, 0, RGB(255, 0, 0)).select_object(1).delete_object(1);
  b.move_to(0, 3).line_to(20, 3);
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.at(10, 3), kRed);
}

TEST(RasterLayer, PaintingHonoursTheClipRegion) {
  Canvas c;
  auto* dc = velmora::platform::lookup_dc(c.dc());
  ASSERT_NE(dc, nullptr);
  dc->state().clip = velmora::platform::Region::from_rect(RECT{10, 10, 20, 20});
  const auto red = velmora::platform::BrushSource::solid(velmora::platform::pixel_of(RGB(255, 0, 0)));
  const velmora::platform::DeviceSpan spans[] = {{5, 0, 40}, {15, 0, 40}};
  velmora::platform::paint_spans(velmora::platform::paint_target(*dc), R2_COPYPEN, spans, red);
  EXPECT_EQ(c.count(kRed), 10);
  EXPECT_EQ(c.at(10, 15), kRed);
  EXPECT_EQ(c.at(20, 15), kBlank);
}

TEST(RasterLayer, FarAwayLinesDrawTheirVisiblePartQuickly) {
  EmfBuilder b = picture();
  b.move_to(-2000000000, 20).line_to(2000000000, 20);  // far beyond any surface
  Canvas c;
  c.play(b);
  EXPECT_EQ(c.count(kBlack, 0, 20, kSide, 21), kSide);
}

}  // namespace
}  // namespace velmora::test
