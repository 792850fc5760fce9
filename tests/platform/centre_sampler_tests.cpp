// Aliased fills by pixel centres: shapes that share edges cover every pixel
// once, the tie rule takes the left and top edges, both fill rules, and
// input that cannot be filled.
#include "raster/centre_sampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace velmora::platform {
namespace {

constexpr int kSize = 24;

struct Coverage {
  std::vector<int> count = std::vector<int>(kSize * kSize, 0);
  int at(int x, int y) const { return count[y * kSize + x]; }
};

struct Point {
  double x, y;
};

void fill(Coverage& c, const std::vector<std::vector<Point>>& figures, FillRule rule = FillRule::NonZero) {
  CentreSampler& s = centre_sampler();
  for (const auto& figure : figures) {
    s.move_to(figure[0].x, figure[0].y);
    for (std::size_t i = 1; i < figure.size(); ++i) s.line_to(figure[i].x, figure[i].y);
  }
  s.for_each_run(kSize, kSize, rule, [&](int y, int x0, int x1) {
    ASSERT_TRUE(y >= 0 && y < kSize && x0 >= 0 && x0 < x1 && x1 <= kSize);
    for (int x = x0; x < x1; ++x) ++c.count[y * kSize + x];
  });
}

// A mesh of cells whose corners fall between pixel centres, each cell split
// into two triangles on alternate diagonals and filled on its own: every
// pixel of the mesh is painted exactly once.
TEST(CentreSampler, CellsSharingEdgesCoverEachPixelOnce) {
  Coverage c;
  const double step = 20.0 / 7.0;
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; col < 7; ++col) {
      const double x0 = 2 + col * step, y0 = 2 + row * step, x1 = x0 + step, y1 = y0 + step;
      if ((row + col) % 2) {
        fill(c, {{{x0, y0}, {x1, y0}, {x0, y1}}});
        fill(c, {{{x1, y0}, {x1, y1}, {x0, y1}}});
      } else {
        fill(c, {{{x0, y0}, {x1, y0}, {x1, y1}}});
        fill(c, {{{x0, y0}, {x1, y1}, {x0, y1}}});
      }
    }
  }
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool inside = x + 0.5 >= 2 && x + 0.5 < 22 && y + 0.5 >= 2 && y + 0.5 < 22;
      EXPECT_EQ(c.at(x, y), inside ? 1 : 0) << x << ", " << y;
    }
  }
}

// Centres exactly on an edge belong to the shape on its right and below.
TEST(CentreSampler, CentresOnAnEdgeGoRightAndDown) {
  Coverage c;
  fill(c, {{{2.5, 2.5}, {6.5, 2.5}, {6.5, 5.5}, {2.5, 5.5}}});
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(c.at(x, y), x >= 2 && x < 6 && y >= 2 && y < 5 ? 1 : 0) << x << ", " << y;
  }
}

// Two overlapping squares in one figure list: winding fills the overlap,
// alternate leaves it empty.
TEST(CentreSampler, FillRulesDecideTheOverlap) {
  const std::vector<std::vector<Point>> squares = {{{2, 2}, {12, 2}, {12, 12}, {2, 12}},
                                                   {{6, 6}, {16, 6}, {16, 16}, {6, 16}}};
  Coverage winding, alternate;
  fill(winding, squares, FillRule::NonZero);
  fill(alternate, squares, FillRule::EvenOdd);
  EXPECT_EQ(winding.at(8, 8), 1);
  EXPECT_EQ(alternate.at(8, 8), 0);
  EXPECT_EQ(alternate.at(3, 3), 1);
  EXPECT_EQ(alternate.at(14, 14), 1);
}

// Open figures are closed; figures beyond the surface and non-finite
// points paint nothing outside it.
TEST(CentreSampler, OpenFarAndNonFiniteFiguresStayInside) {
  Coverage c;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  fill(c, {{{-1e9, -1e9}, {1e9, -1e9}, {1e9, 1e9}, {-1e9, 1e9}}, {{nan, 3}, {5, nan}, {7, 7}}});
  for (int v : c.count) EXPECT_EQ(v, 1);
  Coverage none;
  fill(none, {{{30, 30}, {40, 30}, {40, 40}}, {{-10, 5}, {-2, 5}, {-2, 9}}});
  for (int v : none.count) EXPECT_EQ(v, 0);
}

}  // namespace
}  // namespace velmora::platform
