// Velmora end to end through the shared libraries: what reaches the target,
// what stays untouched, and that every call releases what it made.
#include <gtest/gtest.h>
#include <platform_diagnostics.h>
#include <velmora.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "core/dib_target.h"
#include "core/test_pictures.h"

namespace velmora::test {
namespace {

constexpr RECT kRect{10, 5, 49, 34};  // W = 40, H = 30 inside a 60 x 40 target
constexpr Bgra kRed{0, 0, 255, 255};
constexpr Bgra kBlue{255, 0, 0, 255};
// Overshoots the picture (logical 0..100) on every side, so that whether the
// player covers pixels exactly on the frame's edge does not matter.
constexpr RECT kWholePicture{-20, -20, 120, 120};

bool inside(const RECT& r, int x, int y) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; }

// Every call must leave the platform's object counts as it found them.
class VelmoraCore : public ::testing::Test {
 protected:
  void SetUp() override {
    dcs_before_ = VelmoraPlatformLiveObjects(OBJ_MEMDC);
    bitmaps_before_ = VelmoraPlatformLiveObjects(OBJ_BITMAP);
  }
  void TearDown() override {
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_MEMDC), dcs_before_) << "memory context left alive";
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_BITMAP), bitmaps_before_) << "bitmap left alive";
  }

  int draw(const Picture& picture, unsigned char key = 255, double angle = 0.0, double l = 0, double t = 0,
           double r = 1, double b = 1) {
    RECT rect = kRect;
    return Velmora(target_.dc(), picture.get(), &rect, key, angle, l, t, r, b);
  }

  // Pixels outside kRect still hold the pattern.
  void expect_outside_untouched() const {
    for (int y = 0; y < target_.height(); ++y) {
      for (int x = 0; x < target_.width(); ++x) {
        if (inside(kRect, x, y)) continue;
        ASSERT_EQ(target_.at(x, y), DibTarget::pattern_at(x, y)) << "at " << x << "," << y;
      }
    }
  }

  // Pixels of kRect one pixel or more from its edges: the filtered border,
  // where the frame mixes in, is left out.
  template <class Check>
  void for_each_inner_pixel(Check check) const {
    for (int y = kRect.top + 1; y < kRect.bottom; ++y) {
      for (int x = kRect.left + 1; x < kRect.right; ++x) check(x, y);
    }
  }

  DibTarget target_{60, 40};
  std::size_t dcs_before_ = 0;
  std::size_t bitmaps_before_ = 0;
};

TEST_F(VelmoraCore, OpaquePictureFillsTheRectangleOnly) {
  // The capture's frame cuts off what overshoots the picture.
  const Picture picture = filled_rectangle(kWholePicture, RGB(255, 0, 0));
  ASSERT_EQ(draw(picture), 1);
  expect_outside_untouched();
  for_each_inner_pixel([&](int x, int y) { ASSERT_EQ(target_.at(x, y), kRed) << x << "," << y; });
  // The border rows and columns too show the picture, at least in part:
  // the block rendered and the block blitted are the same.
  for (int y = kRect.top; y <= kRect.bottom; ++y) {
    for (int x = kRect.left; x <= kRect.right; ++x) {
      ASSERT_NE(target_.at(x, y), DibTarget::pattern_at(x, y)) << x << "," << y;
    }
  }
}

TEST_F(VelmoraCore, TurnedPictureLeavesUncoveredCornersUntouched) {
  // Turned by 45 degrees, the picture misses the rectangle's corners; there
  // the samples fall beyond the capture and read its transparent frame, even
  // though the fill overshoots the picture.
  ASSERT_EQ(draw(filled_rectangle(kWholePicture, RGB(255, 0, 0)), 255, std::numbers::pi / 4), 1);
  expect_outside_untouched();
  for (const POINT corner : {POINT{kRect.left, kRect.top}, POINT{kRect.right, kRect.top},
                             POINT{kRect.left, kRect.bottom}, POINT{kRect.right, kRect.bottom}}) {
    EXPECT_EQ(target_.at(corner.x, corner.y), DibTarget::pattern_at(corner.x, corner.y));
  }
  EXPECT_EQ(target_.at(30, 20), kRed);  // the centre
}

TEST_F(VelmoraCore, PictureThatDrawsNothingLeavesTheTarget) {
  const std::vector<std::uint8_t> before = target_.snapshot();
  ASSERT_EQ(draw(empty_picture()), 1);
  EXPECT_EQ(target_.snapshot(), before);
}

TEST_F(VelmoraCore, AlphaKeyZeroShowsNothing) {
  const std::vector<std::uint8_t> before = target_.snapshot();
  ASSERT_EQ(draw(filled_rectangle(kWholePicture, RGB(255, 0, 0)), 0), 1);
  EXPECT_EQ(target_.snapshot(), before);
}

TEST_F(VelmoraCore, PartialAlphaKeyBlendsUnscaledColours) {
  target_.fill({100, 100, 100, 255});
  ASSERT_EQ(draw(filled_rectangle(kWholePicture, RGB(200, 60, 20)), 128), 1);
  // Source alpha 128; red is limited to that alpha, green and blue are taken
  // as they are (already premultiplied): out = src + dst * (255 - 128) / 255.
  const double kept = 100.0 * 127.0 / 255.0;
  for_each_inner_pixel([&](int x, int y) {
    const Bgra p = target_.at(x, y);
    ASSERT_NEAR(p[2], 128 + kept, 2) << x << "," << y;
    ASSERT_NEAR(p[1], 60 + kept, 2) << x << "," << y;
    ASSERT_NEAR(p[0], 20 + kept, 2) << x << "," << y;
  });
}

TEST_F(VelmoraCore, EdgesOfAFilledShapeArePartiallyCovered) {
  target_.fill({255, 255, 255, 255});
  // A triangle whose hypotenuse runs from the top-left to the bottom-right.
  ASSERT_EQ(draw(filled_triangle({{0, 0}, {100, 100}, {0, 100}}, RGB(0, 0, 0))), 1);
  int partial_rows = 0;
  for (int y = kRect.top + 2; y < kRect.bottom - 1; ++y) {
    int partial = 0;
    for (int x = kRect.left; x <= kRect.right; ++x) {
      const int g = target_.at(x, y)[1];
      if (g > 10 && g < 245) ++partial;
    }
    EXPECT_LE(partial, 4) << "row " << y << ": the edge is blurred too wide";
    if (partial > 0) ++partial_rows;
  }
  EXPECT_GE(partial_rows, kRect.bottom - kRect.top - 6);
  EXPECT_EQ(target_.at(kRect.left + 2, kRect.bottom - 2)[1], 0);    // inside the triangle
  EXPECT_EQ(target_.at(kRect.right - 2, kRect.top + 2)[1], 255);   // outside it
}

TEST_F(VelmoraCore, CropWindowShowsOnlyItsPart) {
  const Picture picture = two_halves(RGB(255, 0, 0), RGB(0, 0, 255));
  ASSERT_EQ(draw(picture, 255, 0.0, 0.5, 0, 1, 1), 1);
  expect_outside_untouched();
  for_each_inner_pixel([&](int x, int y) { ASSERT_EQ(target_.at(x, y), kBlue) << x << "," << y; });
  const std::vector<std::uint8_t> right_half = target_.snapshot();

  target_.fill_pattern();
  ASSERT_EQ(draw(picture, 255, 0.0, 1, 1, 0.5, 0), 1);  // reversed bounds
  EXPECT_EQ(target_.snapshot(), right_half);
}

TEST_F(VelmoraCore, CropBeyondThePictureIsTheWholePicture) {
  const Picture picture = two_halves(RGB(255, 0, 0), RGB(0, 0, 255));
  ASSERT_EQ(draw(picture), 1);
  const std::vector<std::uint8_t> whole = target_.snapshot();
  target_.fill_pattern();
  ASSERT_EQ(draw(picture, 255, 0.0, -1, -1, 2, 2), 1);
  EXPECT_EQ(target_.snapshot(), whole);
}

// Near the centre of kRect (where the 40 x 30 picture covers the target at
// any quarter turn), red exactly where (dx, dy) points away from the centre;
// a band along the dividing line, where the filter mixes, is not checked.
void expect_red_half(const DibTarget& target, double dx, double dy) {
  const double cx = (kRect.left + kRect.right + 1) / 2.0;
  const double cy = (kRect.top + kRect.bottom + 1) / 2.0;
  for (int y = static_cast<int>(cy) - 12; y < cy + 12; ++y) {
    for (int x = static_cast<int>(cx) - 12; x < cx + 12; ++x) {
      const double side = (x + 0.5 - cx) * dx + (y + 0.5 - cy) * dy;
      if (std::abs(side) < 3) continue;
      ASSERT_EQ(target.at(x, y) == kRed, side > 0) << "at " << x << "," << y;
    }
  }
}

TEST_F(VelmoraCore, PositiveAngleTurnsCounterClockwise) {
  const Picture picture = filled_rectangle({-20, 50, 120, 120}, RGB(255, 0, 0));
  ASSERT_EQ(draw(picture), 1);
  expect_red_half(target_, 0, 1);  // below

  target_.fill_pattern();
  ASSERT_EQ(draw(picture, 255, std::numbers::pi / 2), 1);
  expect_outside_untouched();
  expect_red_half(target_, 1, 0);  // what lay below is now on the right

  target_.fill_pattern();
  ASSERT_EQ(draw(picture, 255, -std::numbers::pi / 2), 1);
  expect_red_half(target_, -1, 0);
}

TEST_F(VelmoraCore, RefusedCallsCreateNothingAndLeaveTheTarget) {
  const Picture picture = filled_rectangle(kWholePicture, RGB(255, 0, 0));
  const std::vector<std::uint8_t> before = target_.snapshot();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  RECT rect = kRect;
  EXPECT_EQ(Velmora(nullptr, picture.get(), &rect, 255, 0, 0, 0, 1, 1), 0);
  EXPECT_EQ(Velmora(target_.dc(), nullptr, &rect, 255, 0, 0, 0, 1, 1), 0);
  EXPECT_EQ(Velmora(target_.dc(), picture.get(), nullptr, 255, 0, 0, 0, 1, 1), 0);
  for (RECT bad : {RECT{10, 10, 9, 20}, RECT{10, 10, 20, 5}, RECT{0, 0, 0x7FFFFFFE, 0x7FFFFFFE}}) {
    EXPECT_EQ(Velmora(target_.dc(), picture.get(), &bad, 255, 0, 0, 0, 1, 1), 0);
  }
  EXPECT_EQ(draw(picture, 255, 0.0, 0.5, 0, 0.5, 1), 0);  // zero extent
  EXPECT_EQ(draw(picture, 255, 0.0, 1.5, 0, 2.0, 1), 0);  // negative extent
  EXPECT_EQ(draw(picture, 255, 0.0, nan, 0, 1, 1), 0);
  EXPECT_EQ(draw(picture, 255, 0.0, 0.5, 0.5, 0.5 + 1e-13, 1), 0);  // beyond the coordinate limit
  // A turn that is not a number or infinite has no meaning; the resampler
  // would walk a NaN transform (found hanging by fuzz_velmora).
  for (double angle : {nan, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(draw(picture, 255, angle, 0, 0, 1, 1), 0);
  }
  EXPECT_EQ(target_.snapshot(), before);
  EXPECT_EQ(rect.right, kRect.right);  // never written
}

TEST_F(VelmoraCore, UnusableTargetContextFailsCleanly) {
  const Picture picture = filled_rectangle(kWholePicture, RGB(255, 0, 0));
  // A handle that names no device context: whichever step meets it first,
  // the memory context or the blit, the call fails and releases all it made.
  HDC forged = reinterpret_cast<HDC>(static_cast<std::uintptr_t>(0x7FFF1234));
  RECT rect = kRect;
  EXPECT_EQ(Velmora(forged, picture.get(), &rect, 255, 0, 0, 0, 1, 1), 0);
}

TEST_F(VelmoraCore, DoesNotDeleteThePicture) {
  const Picture picture = filled_rectangle(kWholePicture, RGB(255, 0, 0));
  ASSERT_EQ(draw(picture), 1);
  target_.fill_pattern();
  ASSERT_EQ(draw(picture), 1);  // still usable
  for_each_inner_pixel([&](int x, int y) { ASSERT_EQ(target_.at(x, y), kRed); });
}

}  // namespace
}  // namespace velmora::test
