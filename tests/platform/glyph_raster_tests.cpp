// Glyph fills drawn from pieces: whole-pixel boxes turning one way painted as
// their union's spans, and anti-aliased outlines split into pieces whose kept
// coverage must match the whole run rasterized at once, level for level.
#include "raster/box_spans.h"
#include "raster/glyph_coverage.h"
#include "raster/scan_fill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace velmora::platform {
namespace {

constexpr int kSize = 64;

void add_box(agg::path_storage& p, double x0, double y0, double x1, double y1, bool clockwise = true) {
  p.move_to(x0, y0);
  if (clockwise) {
    p.line_to(x1, y0);
    p.line_to(x1, y1);
    p.line_to(x0, y1);
  } else {
    p.line_to(x0, y1);
    p.line_to(x1, y1);
    p.line_to(x1, y0);
  }
  p.close_polygon();
}

TEST(BoxSpans, OverlappingBoxesPaintTheirUnionOnce) {
  agg::path_storage p;
  add_box(p, 2, 1, 6, 3);
  add_box(p, 4, 2, 9, 4);  // overlaps the first on row 2
  add_box(p, 9, 2, 11, 3);  // touches the second
  const auto boxes = same_turn_box_spans(p, kSize);
  ASSERT_TRUE(boxes);
  EXPECT_EQ(boxes->size(), 5u);  // each box's rows
  const auto spans = std::optional(union_of_spans(*boxes));
  const std::vector<std::vector<int>> expected{{1, 2, 6}, {2, 2, 11}, {3, 4, 9}};
  ASSERT_EQ(spans->size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ((*spans)[i].y, expected[i][0]);
    EXPECT_EQ((*spans)[i].x0, expected[i][1]);
    EXPECT_EQ((*spans)[i].x1, expected[i][2]);
  }
}

TEST(BoxSpans, RowsOutsideTheSurfaceAreLeftOut) {
  agg::path_storage p;
  add_box(p, 0, -5, 3, 2);
  add_box(p, 0, kSize - 1, 3, kSize + 9);
  const auto spans = same_turn_box_spans(p, kSize);
  ASSERT_TRUE(spans);
  ASSERT_EQ(spans->size(), 3u);
  EXPECT_EQ(spans->front().y, 0);
  EXPECT_EQ(spans->back().y, kSize - 1);
  EXPECT_EQ(union_of_spans(*spans).size(), 3u);
}

TEST(BoxSpans, OtherAreasAreRefused) {
  agg::path_storage opposite;  // a hole: its overlap is outside by the non-zero rule
  add_box(opposite, 0, 0, 8, 8);
  add_box(opposite, 2, 2, 4, 4, false);
  EXPECT_FALSE(same_turn_box_spans(opposite, kSize));
  agg::path_storage fractional;
  add_box(fractional, 0.5, 0, 8, 8);
  EXPECT_FALSE(same_turn_box_spans(fractional, kSize));
  agg::path_storage triangle;
  triangle.move_to(0, 0);
  triangle.line_to(8, 0);
  triangle.line_to(0, 8);
  triangle.close_polygon();
  EXPECT_FALSE(same_turn_box_spans(triangle, kSize));
  agg::path_storage skewed;
  skewed.move_to(0, 0);
  skewed.line_to(8, 0);
  skewed.line_to(9, 8);
  skewed.line_to(0, 8);
  skewed.close_polygon();
  EXPECT_FALSE(same_turn_box_spans(skewed, kSize));
}

using Levels = std::vector<int>;

// The run rasterized at once, as the fill without pieces does.
Levels whole_run(agg::path_storage& path) {
  Levels out(kSize * kSize, 0);
  ScanTools& tools = scan_tools();
  tools.ras.clip_box(-kScanClipMargin, -kScanClipMargin, kSize + kScanClipMargin, kSize + kScanClipMargin);
  tools.ras.filling_rule(agg::fill_non_zero);
  tools.ras.add_path(path);
  if (!tools.ras.rewind_scanlines()) return out;
  tools.sl.reset(tools.ras.min_x(), tools.ras.max_x());
  while (tools.ras.sweep_scanline(tools.sl)) {
    auto span = tools.sl.begin();
    for (unsigned n = tools.sl.num_spans(); n > 0; --n, ++span) {
      for (int i = 0; i < span->len; ++i) out[tools.sl.y() * kSize + span->x + i] = coverage_level(span->covers[i]);
    }
  }
  return out;
}

Levels from_pieces(const std::vector<PlacedCoverage>& pieces) {
  Levels out(kSize * kSize, 0);
  for (const PlacedCoverage& p : pieces) {
    for (int y = 0; y < p.coverage->height; ++y) {
      for (int x = 0; x < p.coverage->width; ++x) {
        const int level = p.coverage->levels[y * p.coverage->width + x];
        if (level == 0) continue;
        EXPECT_EQ(out[(p.y + y) * kSize + p.x + x], 0) << "two pieces cover one pixel";
        out[(p.y + y) * kSize + p.x + x] = level;
      }
    }
  }
  return out;
}

// A ring like an "o": an outer polygon and an inner one turning the other way.
void add_ring(agg::path_storage& p, double cx, double cy, double r, int sides) {
  for (double radius : {r, r * 0.55}) {
    const double turn = radius == r ? 1 : -1;
    for (int i = 0; i < sides; ++i) {
      const double a = turn * 2 * M_PI * i / sides;
      const double x = cx + radius * std::cos(a), y = cy + radius * std::sin(a);
      if (i == 0)
        p.move_to(x, y);
      else
        p.line_to(x, y);
    }
    p.close_polygon();
  }
}

TEST(GlyphCoverage, PiecesMatchTheWholeRun) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> fraction(0, 1);
  for (int trial = 0; trial < 40; ++trial) {
    agg::path_storage run;
    double x = 3 + fraction(random);
    while (x < kSize - 12) {
      const double r = 2 + 3 * fraction(random);
      add_ring(run, x + r, 20 + 10 * fraction(random), r, 5 + trial % 9);
      x += 2 * r + 2 * fraction(random) - 0.6;  // some glyphs touch or overlap their neighbour
    }
    const auto pieces = glyph_coverage(run, kSize, kSize);
    ASSERT_TRUE(pieces);
    EXPECT_EQ(from_pieces(*pieces), whole_run(run)) << "trial " << trial;
  }
}

TEST(GlyphCoverage, AShapeMovedByWholePixelsIsDrawnFromTheKeptOne) {
  agg::path_storage a, b, c;
  add_ring(a, 10.3, 10.7, 4, 7);
  add_ring(b, 30.3, 21.7, 4, 7);
  add_ring(c, 30.4, 21.7, 4, 7);  // a tenth of a pixel over
  const auto pa = glyph_coverage(a, kSize, kSize);
  ASSERT_TRUE(pa && pa->size() == 1);
  const PieceCoverage* kept = pa->front().coverage;
  const auto pb = glyph_coverage(b, kSize, kSize);
  ASSERT_TRUE(pb && pb->size() == 1);
  EXPECT_EQ(pb->front().coverage, kept);
  EXPECT_EQ(pb->front().x - pa->front().x, 20);
  EXPECT_EQ(pb->front().y - pa->front().y, 11);
  const auto pc = glyph_coverage(c, kSize, kSize);
  ASSERT_TRUE(pc && pc->size() == 1);
  EXPECT_NE(pc->front().coverage, kept);
  EXPECT_EQ(from_pieces(*pc), whole_run(c));
}

TEST(GlyphCoverage, RunsTheRasterizerWouldClipOrStillCurvedAreRefused) {
  agg::path_storage off;
  add_ring(off, 2, 10, 4, 6);  // reaches x < 0
  EXPECT_FALSE(glyph_coverage(off, kSize, kSize));
  agg::path_storage curved;
  curved.move_to(1, 1);
  curved.curve3(9, 1, 9, 9);
  curved.close_polygon();
  EXPECT_FALSE(glyph_coverage(curved, kSize, kSize));
  agg::path_storage empty;
  const auto none = glyph_coverage(empty, kSize, kSize);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

}  // namespace
}  // namespace velmora::platform
