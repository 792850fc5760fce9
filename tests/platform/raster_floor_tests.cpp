// The pixels' floor without a device context: the one clipping point, the
// brushes built from resolved colours, and the blend between surfaces.
#include "raster/brush_source.h"
#include "raster/painter.h"
#include "raster/pixel_word.h"
#include "raster/pixel_writer.h"
#include "raster/surface_blend.h"
#include "raster/target.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <memory>
#include <vector>

namespace velmora::platform {
namespace {

struct Pixels {
  int width, height;
  std::vector<std::uint32_t> words;
  Pixels(int w, int h, std::uint32_t fill) : width(w), height(h), words(static_cast<std::size_t>(w) * h, fill) {}
  Surface surface() {
    return {reinterpret_cast<std::uint8_t*>(words.data()), width, height, static_cast<std::ptrdiff_t>(width) * 4};
  }
  std::uint32_t at(int x, int y) const { return words[static_cast<std::size_t>(y) * width + x]; }
  int count(std::uint32_t v) const { return static_cast<int>(std::count(words.begin(), words.end(), v)); }
};

// Every pixel a clip lets through, by runs and by rectangles, against the
// region's own membership test.
TEST(RasterClip, RunsAndRectanglesVisitExactlyTheClippedPixels) {
  Pixels p(40, 30, 0);
  const Region clip = Region::from_rects({{-5, -5, 10, 8}, {12, 3, 50, 9}, {0, 20, 40, 40}, {30, 10, 35, 25}});
  const Target target{p.surface(), &clip};
  std::vector<int> by_runs(40 * 30, 0), by_rects(40 * 30, 0);
  for (int y = -3; y < 33; ++y) {
    for_each_visible_run(target, y, -7, 45, [&](int x0, int x1) {
      for (int x = x0; x < x1; ++x) ++by_runs[y * 40 + x];
    });
  }
  for_each_visible_rect(target, RECT{-7, -3, 45, 33}, [&](const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++by_rects[y * 40 + x];
  });
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const int inside = clip.contains(x, y) ? 1 : 0;
      EXPECT_EQ(by_runs[y * 40 + x], inside) << x << "," << y;
      EXPECT_EQ(by_rects[y * 40 + x], inside) << x << "," << y;
    }
  }
}

TEST(RasterClip, RectanglesOutsideTheBoundsAreNotVisited) {
  Pixels p(20, 20, 0);
  const Region clip = Region::from_rects({{0, 0, 20, 2}, {0, 5, 20, 7}, {0, 15, 20, 20}});
  int visits = 0;
  for_each_visible_rect(Target{p.surface(), &clip}, RECT{0, 5, 20, 7}, [&](const RECT& r) {
    ++visits;
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.bottom, 7);
  });
  EXPECT_EQ(visits, 1);
}

TEST(RasterBrush, HatchPaintsItsBackgroundOnlyWhenGivenOne) {
  const auto with = BrushSource::hatch(HS_HORIZONTAL, 0x112233, 0x445566, POINT{0, 0});
  const auto without = BrushSource::hatch(HS_HORIZONTAL, 0x112233, std::nullopt, POINT{0, 0});
  EXPECT_EQ(with.at(0, 3), 0x112233u);
  EXPECT_EQ(with.at(0, 4), 0x445566u);
  EXPECT_EQ(without.at(0, 3), 0x112233u);
  EXPECT_FALSE(without.at(0, 4).has_value());
  // An unknown hatch paints the foreground everywhere.
  EXPECT_TRUE(BrushSource::hatch(99, 0x112233, std::nullopt, POINT{0, 0}).is_solid());
}

TEST(RasterBrush, PatternTilesFromTheOriginAndMapsMonochromeTiles) {
  auto tile = std::make_shared<Image32>();
  tile->width = 2;
  tile->height = 1;
  tile->pixels = {0x000000, 0xFFFFFF};
  const auto mono = BrushSource::pattern(tile, true, 0x0000FF, 0x00FF00, POINT{1, 0});
  EXPECT_EQ(mono.at(1, 0), 0x0000FFu);  // tile pixel 0, black: the foreground
  EXPECT_EQ(mono.at(2, 0), 0x00FF00u);
  EXPECT_EQ(mono.at(-1, 5), 0x0000FFu);
  const auto colour = BrushSource::pattern(tile, false, 0, 0, POINT{0, 0});
  EXPECT_EQ(colour.at(1, 0), 0xFFFFFFu);
  EXPECT_TRUE(BrushSource::pattern(std::make_shared<Image32>(), false, 0, 0, POINT{0, 0}).paints_nothing());
}

// Runs of every brush kind, long and short, from odd columns and through a
// clip, under a copy and under a raster operation that reads the
// destination: each pixel as the brush gives it one by one.
TEST(RasterFill, SpansPaintEachPixelAsTheBrushGivesIt) {
  auto tile = [](int width) {
    auto image = std::make_shared<Image32>();
    image->width = width;
    image->height = 2;
    for (int i = 0; i < 2 * width; ++i) image->pixels.push_back(i % 3 == 0 ? 0 : 0x10203 * static_cast<unsigned>(i));
    return image;
  };
  const std::vector<BrushSource> brushes{
      BrushSource::solid(0x123456),
      BrushSource::hatch(HS_DIAGCROSS, 0x112233, 0x445566, POINT{3, 1}),
      BrushSource::hatch(HS_BDIAGONAL, 0x112233, std::nullopt, POINT{-2, 0}),
      BrushSource::pattern(tile(3), false, 0, 0, POINT{1, 1}),
      BrushSource::pattern(tile(3), true, 0x0000FF, 0x00FF00, POINT{0, 0}),
      BrushSource::pattern(tile(70), false, 0, 0, POINT{5, 0}),  // wider than a row is looked up at once
  };
  const Region clip = Region::from_rects({{0, 0, 200, 3}, {0, 3, 17, 6}, {40, 3, 200, 6}});
  for (const int rop2 : {R2_COPYPEN, R2_XORPEN}) {
    for (std::size_t b = 0; b < brushes.size(); ++b) {
      Pixels p(200, 6, 0);
      for (std::size_t i = 0; i < p.words.size(); ++i) p.words[i] = 0xA5000000u | static_cast<std::uint32_t>(i * 7919);
      const std::vector<std::uint32_t> before = p.words;
      const std::vector<DeviceSpan> spans{{0, -3, 150}, {1, 5, 12}, {2, 7, 8}, {3, 2, 190}, {4, 33, 200}, {5, 1, 70}};
      paint_spans(Target{p.surface(), &clip}, rop2, spans, brushes[b]);
      for (const DeviceSpan& s : spans) {
        for (int x = 0; x < p.width; ++x) {
          const std::uint32_t was = before[static_cast<std::size_t>(s.y) * p.width + x];
          const bool inside = x >= s.x0 && x < s.x1 && clip.contains(x, s.y);
          const std::optional<std::uint32_t> colour = brushes[b].at(x, s.y);
          const std::uint32_t expected = inside && colour ? apply_rop2(rop2, *colour, was) : was;
          ASSERT_EQ(p.at(x, s.y), expected) << "brush " << b << " rop " << rop2 << " at " << x << ", " << s.y;
        }
      }
    }
  }
}

TEST(RasterFill, RegionPaintsUnderTheRopAndMarksPixelsDrawn) {
  Pixels p(10, 10, 0xFF0000FF);
  const Region clip = Region::from_rect(RECT{0, 0, 5, 10});
  paint_region(Target{p.surface(), &clip}, R2_XORPEN, Region::from_rect(RECT{2, 2, 8, 4}),
               BrushSource::solid(0x0000FF));
  EXPECT_EQ(p.at(2, 2), 0x00000000u);  // blue XOR blue, fourth byte 0
  EXPECT_EQ(p.at(5, 2), 0xFF0000FFu);  // outside the clip
  EXPECT_EQ(p.count(0x00000000u), 6);
}

TEST(RasterBlend, SurfaceBlendComposesPremultipliedPixelsAndStretches) {
  Pixels target(4, 1, 0xFF808080);
  Pixels source(2, 1, 0);
  source.words = {0x80400000, 0x00000000};  // half-covered red at 25 %, then nothing
  blend_surface(Target{target.surface(), nullptr}, RECT{0, 0, 4, 1}, source.surface(), RECT{0, 0, 2, 1}, 255, true);
  const std::uint32_t half = 0x80400000 + 0x7F404040;  // source + destination * (255 - 128) / 255
  EXPECT_EQ(target.at(0, 0), half);
  EXPECT_EQ(target.at(1, 0), half);
  EXPECT_EQ(target.at(2, 0), 0xFF808080u);  // alpha 0 leaves the destination
  EXPECT_EQ(target.at(3, 0), 0xFF808080u);
}

// The unscaled premultiplied path works on whole words; it must give what
// the per-channel arithmetic gives, a lane carried past 255 included.
TEST(RasterBlend, UnscaledOverMatchesEachChannel) {
  constexpr int kPixels = (1 << 16) - 3;  // not a whole number of four-pixel steps
  Pixels target(kPixels, 1, 0), source(kPixels, 1, 0);
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int i = 0; i < kPixels; ++i) {
    target.words[i] = next();
    const std::uint32_t alpha_pick = next() >> 29;  // often 0 and 255, else anything
    const std::uint32_t alpha = alpha_pick == 0 ? 0 : alpha_pick == 1 ? 255 : next() >> 24;
    source.words[i] = (alpha << 24) | (next() & 0x00FFFFFFu);
  }
  const std::vector<std::uint32_t> before = target.words;
  blend_surface(Target{target.surface(), nullptr}, RECT{0, 0, kPixels, 1}, source.surface(), RECT{0, 0, kPixels, 1},
                255, true);
  for (int i = 0; i < kPixels; ++i) {
    const std::uint32_t src = source.words[i], dst = before[i], alpha = src >> 24;
    std::uint32_t expected = alpha == 0 ? dst : src;
    if (alpha != 0 && alpha != 255) {
      expected = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t value = ((src >> shift) & 0xFF) + div255(((dst >> shift) & 0xFF) * (255 - alpha));
        expected |= std::min<std::uint32_t>(255, value) << shift;
      }
    }
    ASSERT_EQ(target.words[i], expected) << std::hex << "source " << src << " over " << dst;
  }
}

}  // namespace
}  // namespace velmora::platform
