// Region algebra checked against a per-pixel oracle: every region is also a
// plain set of pixels, and each boolean operation must agree with the same
// operation done pixel by pixel.
#include "region/region.h"
#include "region/region_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace velmora::platform {
namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels pixels_of(const Region& region) {
  Pixels pixels;
  for (const RECT& r : region.rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) pixels.insert({x, y});
    }
  }
  return pixels;
}

Pixels pixels_of(const std::vector<RECT>& rects) {
  Pixels pixels;
  for (const RECT& r : rects) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) pixels.insert({x, y});
    }
  }
  return pixels;
}

// The invariants behind operator==: bands sorted and disjoint, rects in a
// band sorted with gaps between them, no band a copy of the one touching it.
void expect_canonical(const Region& region) {
  const std::vector<RECT>& rects = region.rects();
  std::size_t band = 0;
  std::size_t previous_band = 0;
  bool has_previous = false;
  while (band < rects.size()) {
    std::size_t end = band;
    while (end < rects.size() && rects[end].top == rects[band].top) {
      ASSERT_EQ(rects[end].bottom, rects[band].bottom);
      ASSERT_LT(rects[end].left, rects[end].right);
      ASSERT_LT(rects[end].top, rects[end].bottom);
      if (end > band) {
        ASSERT_LT(rects[end - 1].right, rects[end].left);
      }
      ++end;
    }
    if (has_previous) {
      ASSERT_LE(rects[previous_band].bottom, rects[band].top);
      const bool same_spans = (band - previous_band == end - band) &&
                              std::equal(rects.begin() + band, rects.begin() + end, rects.begin() + previous_band,
                                         [](const RECT& a, const RECT& b) {
                                           return a.left == b.left && a.right == b.right;
                                         });
      ASSERT_FALSE(same_spans && rects[previous_band].bottom == rects[band].top) << "unmerged bands";
    }
    previous_band = band;
    has_previous = true;
    band = end;
  }
}

std::vector<RECT> random_rects(std::mt19937& rng, int count) {
  std::uniform_int_distribution<int> coordinate(-4, 20);
  std::vector<RECT> rects;
  for (int i = 0; i < count; ++i) {
    const int x0 = coordinate(rng), x1 = coordinate(rng), y0 = coordinate(rng), y1 = coordinate(rng);
    rects.push_back(RECT{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)});
  }
  return rects;
}

Pixels pixelwise(const Pixels& a, const Pixels& b, const std::function<bool(bool, bool)>& keep) {
  Pixels out;
  for (int y = -5; y <= 25; ++y) {
    for (int x = -5; x <= 25; ++x) {
      if (keep(a.count({x, y}) > 0, b.count({x, y}) > 0)) out.insert({x, y});
    }
  }
  return out;
}

TEST(Region, BooleanOperationsMatchPixelOracle) {
  std::mt19937 rng(12345);
  const std::vector<std::pair<int, std::function<bool(bool, bool)>>> modes = {
      {RGN_AND, [](bool a, bool b) { return a && b; }},
      {RGN_OR, [](bool a, bool b) { return a || b; }},
      {RGN_XOR, [](bool a, bool b) { return a != b; }},
      {RGN_DIFF, [](bool a, bool b) { return a && !b; }},
      {RGN_COPY, [](bool, bool b) { return b; }},
  };
  for (int trial = 0; trial < 300; ++trial) {
    const std::vector<RECT> rects_a = random_rects(rng, 1 + trial % 7);
    const std::vector<RECT> rects_b = random_rects(rng, 1 + trial % 5);
    const Region a = Region::from_rects(rects_a);
    const Region b = Region::from_rects(rects_b);
    ASSERT_EQ(pixels_of(a), pixels_of(rects_a));
    expect_canonical(a);
    for (const auto& [mode, keep] : modes) {
      const Region result = a.combined(b, mode);
      expect_canonical(result);
      ASSERT_EQ(pixels_of(result), pixelwise(pixels_of(a), pixels_of(b), keep)) << "mode " << mode << " trial " << trial;
    }
  }
}

TEST(Region, CanonicalFormMakesEqualSetsEqual) {
  // The same L shape built three ways.
  const Region by_rows = Region::from_rects({{0, 0, 10, 5}, {0, 5, 4, 10}});
  const Region by_columns = Region::from_rects({{0, 0, 4, 10}, {4, 0, 10, 5}});
  const Region by_cut = Region::from_rect({0, 0, 10, 10}).subtracted(Region::from_rect({4, 5, 10, 10}));
  EXPECT_EQ(by_rows, by_columns);
  EXPECT_EQ(by_rows, by_cut);
  // Touching rectangles in a row become one; stacked equal rows become one.
  EXPECT_EQ(Region::from_rects({{0, 0, 5, 5}, {5, 0, 9, 5}, {0, 5, 9, 8}}).rects().size(), 1u);
  EXPECT_EQ(Region::from_rect({0, 0, 4, 4}).subtracted(Region::from_rect({0, 0, 4, 4})), Region());
}

TEST(Region, RectsBoundsContainsAndOffset) {
  EXPECT_TRUE(Region::from_rect({5, 5, 5, 10}).empty());
  EXPECT_TRUE(Region::from_rect({5, 10, 8, 2}).empty());
  const RECT zero{0, 0, 0, 0};
  EXPECT_TRUE(Region().bounds() == zero);

  const Region region = Region::from_rects({{0, 0, 3, 3}, {10, 1, 12, 8}});
  const RECT expected_bounds{0, 0, 12, 8};
  EXPECT_TRUE(region.bounds() == expected_bounds);
  EXPECT_TRUE(region.contains(0, 0));
  EXPECT_TRUE(region.contains(11, 7));
  EXPECT_FALSE(region.contains(3, 0));  // right and bottom edges are outside
  EXPECT_FALSE(region.contains(11, 8));
  EXPECT_FALSE(region.contains(5, 2));

  const Region moved = region.offset(-4, 6);
  EXPECT_EQ(pixels_of(moved).size(), pixels_of(region).size());
  EXPECT_TRUE(moved.contains(-4, 6));
  EXPECT_TRUE(moved.contains(7, 13));
}

TEST(Region, HugeCoordinatesAreClampedNotOverflowed) {
  const Region wide = Region::from_rect({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  ASSERT_FALSE(wide.empty());
  EXPECT_TRUE(wide.contains(0, 0));
  const Region pushed = wide.offset(INT_MAX, INT_MAX);  // squeezed against the limit: empty or a sliver
  for (const RECT& r : pushed.rects()) EXPECT_LT(r.left, r.right);
  EXPECT_FALSE(pushed.contains(0, 0));
  const Region far = Region::from_rect({0, 0, 10, 10}).offset(INT_MIN, 0);
  for (const RECT& r : far.rects()) EXPECT_LT(r.left, r.right);
}

TEST(Region, PolygonsFollowSamplePointsAndFillRule) {
  // An integer rectangle covers exactly its pixels.
  EXPECT_EQ(Region::from_polygons({{{2, 3}, {8, 3}, {8, 7}, {2, 7}}}, FillRule::EvenOdd),
            Region::from_rect({2, 3, 8, 7}));
  // Two nested squares, same winding: even-odd leaves a hole, non-zero fills it.
  const std::vector<std::vector<POINT>> nested = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}},
                                                  {{3, 3}, {7, 3}, {7, 7}, {3, 7}}};
  const Region outer = Region::from_rect({0, 0, 10, 10});
  EXPECT_EQ(Region::from_polygons(nested, FillRule::EvenOdd), outer.subtracted(Region::from_rect({3, 3, 7, 7})));
  EXPECT_EQ(Region::from_polygons(nested, FillRule::NonZero), outer);
  // A right triangle: pixel (x, y) is in when the point (x, y) is; the
  // hypotenuse is a right edge, so points on it are out.
  const Region triangle = Region::from_polygons({{{0, 0}, {8, 0}, {0, 8}}}, FillRule::NonZero);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(triangle.contains(x, y), x + y + 1 <= 8) << x << "," << y;
  }
  // Degenerate input gives an empty region.
  EXPECT_TRUE(Region::from_polygons({{{0, 0}, {5, 5}}}, FillRule::NonZero).empty());
  EXPECT_TRUE(Region::from_polygons({}, FillRule::NonZero).empty());
}

TEST(Region, HugePolygonIsClippedNotOverflowed) {
  const int big = 2'000'000'000;
  const Region region = Region::from_polygons({{{-big, -big}, {big, -big}, {big, big}, {-big, big}}}, FillRule::NonZero);
  EXPECT_TRUE(region.contains(0, 0));
  EXPECT_TRUE(region.contains(100000, -100000));
  EXPECT_EQ(region.rects().size(), 1u);
}

TEST(Region, FractionalPolygonsAreSampledAtWholePixels) {
  // Pixel (x, y) is judged at the point (x, y): 0.4 .. 2.6 holds 1 and 2.
  const std::vector<DevicePoint> square = {{0.4, 0.4}, {2.6, 0.4}, {2.6, 2.6}, {0.4, 2.6}};
  EXPECT_EQ(Region::from_device_polygons({square}, FillRule::NonZero), Region::from_rect({1, 1, 3, 3}));
  // A left or top edge on a whole pixel takes it in, a right or bottom one leaves it out.
  const std::vector<DevicePoint> exact = {{1, 1}, {3, 1}, {3, 3}, {1, 3}};
  EXPECT_EQ(Region::from_device_polygons({exact}, FillRule::NonZero), Region::from_rect({1, 1, 3, 3}));
}

TEST(Region, PolygonTooCostlyToScanBecomesItsBoundingBox) {
  // Hundreds of edges each crossing 400000 rows: far past the scanning budget.
  std::vector<POINT> zigzag;
  for (int i = 0; i < 400; ++i) zigzag.push_back(POINT{i, i % 2 == 0 ? -200000 : 200000});
  const Region region = Region::from_polygons({zigzag}, FillRule::EvenOdd);
  ASSERT_EQ(region.rects().size(), 1u);
  EXPECT_TRUE(region.bounds() == (RECT{0, -200000, 399, 200000}));
}

TEST(Region, PastTheRectangleLimitTheBoundingBoxRemains) {
  // One rectangle a row, shifting each row so that no two rows merge.
  RegionBuilder builder;
  const int rows = static_cast<int>(kMaxRegionRects) + 10;
  for (int y = 0; y < rows; ++y) {
    const Span span{y % 2, y % 2 + 1};
    builder.add_band(y, y + 1, std::span<const Span>(&span, 1));
  }
  const std::vector<RECT> rects = builder.finish();
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_TRUE(rects.front() == (RECT{0, 0, 2, rows}));
}

TEST(Region, ManySmallRectsStayExact) {
  // A checkerboard is the worst case for banding: every cell its own rect.
  std::vector<RECT> cells;
  for (int y = 0; y < 64; ++y) {
    for (int x = (y % 2); x < 64; x += 2) cells.push_back(RECT{x, y, x + 1, y + 1});
  }
  const Region board = Region::from_rects(cells);
  EXPECT_EQ(board.rects().size(), cells.size());
  expect_canonical(board);
  EXPECT_EQ(board.xored(Region::from_rect({0, 0, 64, 64})).rects().size(), cells.size());
}

}  // namespace
}  // namespace velmora::platform
