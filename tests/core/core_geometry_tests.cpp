// The numbers behind one Velmora call: sizes, crop normalisation, the
// playback rectangle and the resampling transform.
#include <agg_trans_affine.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <numbers>

#include "capture_geometry.h"
#include "resample.h"

namespace velmora::core {
namespace {

constexpr RECT kTarget100x50{0, 0, 99, 49};

CaptureGeometry plan(const RECT& target, double left, double top, double right, double bottom) {
  const auto crop = normalize_crop(left, top, right, bottom);
  EXPECT_TRUE(crop.has_value());
  const auto geometry = plan_capture(target, crop.value_or(CropWindow{}));
  EXPECT_TRUE(geometry.has_value());
  return geometry.value_or(CaptureGeometry{});
}

void expect_rect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(actual.left, left);
  EXPECT_EQ(actual.top, top);
  EXPECT_EQ(actual.right, right);
  EXPECT_EQ(actual.bottom, bottom);
}

TEST(CaptureGeometry, InclusiveTargetGivesDoubledCaptureWithFrame) {
  const CaptureGeometry g = plan(kTarget100x50, 0, 0, 1, 1);
  EXPECT_EQ(g.width, 100);
  EXPECT_EQ(g.height, 50);
  EXPECT_EQ(g.capture_width, 202);
  EXPECT_EQ(g.capture_height, 102);
  EXPECT_EQ(bitmap_bytes(g), 82416u);
  expect_rect(g.playback, 1, 1, 201, 101);
}

TEST(CaptureGeometry, TargetOffsetDoesNotMoveThePlayback) {
  const CaptureGeometry g = plan(RECT{-40, 300, 59, 349}, 0, 0, 1, 1);
  EXPECT_EQ(g.width, 100);
  EXPECT_EQ(g.height, 50);
  expect_rect(g.playback, 1, 1, 201, 101);
}

TEST(CaptureGeometry, CropWindowSpreadsItsPartOverTheCapture) {
  expect_rect(plan(kTarget100x50, 0.25, 0.25, 0.75, 0.75).playback, -99, -49, 301, 151);
  // Reversed bounds are put in order first.
  expect_rect(plan(kTarget100x50, 0.75, 0.75, 0.25, 0.25).playback, -99, -49, 301, 151);
  expect_rect(plan(kTarget100x50, 0.25, 0.75, 0.75, 0.25).playback, -99, -49, 301, 151);
  // Bounds beyond the picture are clamped to it.
  expect_rect(plan(kTarget100x50, -1, -1, 2, 2).playback, 1, 1, 201, 101);
  // Right half only: trunc(-(0.5 / 0.5) * 200) + 1 and trunc((0.5 / 0.5) * 200) + 1.
  expect_rect(plan(kTarget100x50, 0.5, 0, 1, 1).playback, -199, 1, 201, 101);
}

TEST(CaptureGeometry, PlaybackTruncatesTowardZero) {
  // x0 = 0.1, dx = 0.3: left = trunc(-66.67) + 1 = -65, right = trunc(600) + 1.
  // Rounding (instead of truncation) would give -66 on the left.
  const CaptureGeometry g = plan(kTarget100x50, 0.1, 0, 0.4, 1);
  EXPECT_EQ(g.playback.left, -65);
  EXPECT_EQ(g.playback.right, static_cast<LONG>(std::trunc((0.9 / (0.4 - 0.1)) * 200.0)) + 1);
}

TEST(CropWindow, RefusesWindowsWithoutExtent) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(normalize_crop(0.5, 0, 0.5, 1));  // zero width
  EXPECT_FALSE(normalize_crop(0, 0.3, 1, 0.3));  // zero height
  EXPECT_FALSE(normalize_crop(1.5, 0, 2.0, 1));  // both beyond 1: 1.5 .. 1
  EXPECT_FALSE(normalize_crop(0, -2, 1, -1));    // both below 0: 0 .. -1
  EXPECT_FALSE(normalize_crop(nan, 0, 1, 1));
  EXPECT_FALSE(normalize_crop(0, 0, 1, nan));
  EXPECT_FALSE(normalize_crop(std::numeric_limits<double>::infinity(), 0, std::numeric_limits<double>::infinity(), 1));
}

TEST(CropWindow, InfiniteBoundsClampToThePicture) {
  const double inf = std::numeric_limits<double>::infinity();
  const auto crop = normalize_crop(-inf, -inf, inf, inf);
  ASSERT_TRUE(crop);
  EXPECT_EQ(crop->x0, 0.0);
  EXPECT_EQ(crop->y0, 0.0);
  EXPECT_EQ(crop->x1, 1.0);
  EXPECT_EQ(crop->y1, 1.0);
}

TEST(CaptureGeometry, RefusesEmptyInvertedAndOversizedTargets) {
  const CropWindow whole{};
  EXPECT_FALSE(plan_capture(RECT{10, 10, 9, 20}, whole));  // W = 0
  EXPECT_FALSE(plan_capture(RECT{10, 10, 20, 9}, whole));  // H = 0
  EXPECT_FALSE(plan_capture(RECT{10, 10, 0, 20}, whole));  // inverted
  EXPECT_TRUE(plan_capture(RECT{10, 10, 10, 10}, whole));  // one pixel
  // right - left + 1 overflows 32 bits here.
  EXPECT_FALSE(plan_capture(RECT{INT_MIN, 0, INT_MAX, 0}, whole));
  EXPECT_FALSE(plan_capture(RECT{0, 0, INT_MAX - 1, INT_MAX - 1}, whole));
  const LONG side = static_cast<LONG>(kMaxTargetSide);
  EXPECT_TRUE(plan_capture(RECT{0, 0, side - 1, 0}, whole));
  EXPECT_FALSE(plan_capture(RECT{0, 0, side, 0}, whole));
  // Each side is allowed, their product is not: 4 * CW * CH beyond the bitmap limit.
  EXPECT_FALSE(plan_capture(RECT{0, 0, side - 1, 999}, whole));
}

TEST(CaptureGeometry, RefusesCropWindowsTooSmallToPlace) {
  const auto tiny = normalize_crop(0.5, 0.5, 0.5 + 1e-12, 0.5 + 1e-12);
  ASSERT_TRUE(tiny);  // an extent, but the picture would reach ~1e14 pixels
  EXPECT_FALSE(plan_capture(kTarget100x50, *tiny));
}

void expect_transform(const agg::trans_affine& t, double sx, double shy, double shx, double sy, double tx,
                      double ty) {
  EXPECT_DOUBLE_EQ(t.sx, sx);
  EXPECT_DOUBLE_EQ(t.shy, shy);
  EXPECT_DOUBLE_EQ(t.shx, shx);
  EXPECT_DOUBLE_EQ(t.sy, sy);
  EXPECT_NEAR(t.tx, tx, 1e-12);
  EXPECT_NEAR(t.ty, ty, 1e-12);
}

TEST(ResamplingTransform, PlainHalvingAtAngleZero) {
  expect_transform(resampling_transform(202, 102, 0.0), 2, 0, 0, 2, 0, 0);
}

TEST(ResamplingTransform, QuarterTurnAboutThePivot) {
  const double half_pi = std::numbers::pi / 2;
  const agg::trans_affine t = resampling_transform(202, 102, half_pi);  // W = 100, H = 50
  // cos(pi/2) is about 6e-17 in doubles, not 0.
  expect_transform(t, 2 * std::cos(half_pi), 2, -2, 2 * std::cos(half_pi), 150, -50);
  EXPECT_NE(t.sx, 0.0);
}

TEST(ResamplingTransform, EqualsTheProductOfItsSteps) {
  for (double angle : {0.3, -1.2, 2.5, std::numbers::pi}) {
    const Pivot p = resampling_pivot(204, 33);
    agg::trans_affine product = agg::trans_affine_translation(-p.x, -p.y);
    product *= agg::trans_affine_rotation(angle);
    product *= agg::trans_affine_translation(p.x, p.y);
    product *= agg::trans_affine_scaling(2.0);
    const agg::trans_affine t = resampling_transform(204, 33, angle);
    EXPECT_TRUE(t.is_equal(product, 1e-9)) << "angle " << angle;
  }
}

TEST(ResamplingTransform, PivotUsesIntegerDivision) {
  EXPECT_EQ(resampling_pivot(204, 102).x, 51);  // W = 101: (2 * 101 + 2) / 4
  EXPECT_EQ(resampling_pivot(202, 102).x, 50);  // W = 100
  EXPECT_EQ(resampling_pivot(202, 104).y, 26);  // H = 51
  EXPECT_EQ(resampling_pivot(4, 4).x, 1);       // W = 1
}

TEST(ResamplingTransform, PositiveAngleTurnsCounterClockwiseOnScreen) {
  // Device y grows downward: turning counter-clockwise brings what lay below
  // the pivot to its right. Result points read the capture at twice the scale.
  const agg::trans_affine t = resampling_transform(202, 102, std::numbers::pi / 2);
  const Pivot p = resampling_pivot(202, 102);
  double x = p.x + 10.0;
  double y = p.y;
  t.transform(&x, &y);
  EXPECT_NEAR(x, 2.0 * p.x, 1e-9);
  EXPECT_NEAR(y, 2.0 * p.y + 20.0, 1e-9);
  // The pivot itself stays in place (at twice its coordinates in the capture).
  x = p.x;
  y = p.y;
  t.transform(&x, &y);
  EXPECT_NEAR(x, 2.0 * p.x, 1e-9);
  EXPECT_NEAR(y, 2.0 * p.y, 1e-9);
}

}  // namespace
}  // namespace velmora::core
