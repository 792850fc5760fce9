// Raster operations, blits and gradients on a small surface: the truth
// tables, the stretch mapping, the fourth-byte rules, masks, clipping.
#include "raster/blit.h"
#include "raster/gradient_fill.h"
#include "raster/rop3.h"
#include "raster/source_sampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace velmora::platform {
namespace {

// A top-down 32-bit surface over its own memory.
struct Canvas {
  int width, height;
  std::vector<std::uint32_t> pixels;
  Canvas(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  Surface surface() {
    return {reinterpret_cast<std::uint8_t*>(pixels.data()), width, height, static_cast<std::ptrdiff_t>(width) * 4};
  }
  Target target(const Region* clip = nullptr) { return {surface(), clip}; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Image32 row_image(std::vector<std::uint32_t> values, bool has_alpha = false) {
  Image32 image;
  image.width = static_cast<int>(values.size());
  image.height = 1;
  image.pixels = std::move(values);
  image.has_alpha = has_alpha;
  return image;
}

BlitSource whole(const Image32& image) { return {&image, 0, 0, image.width, image.height}; }

constexpr std::uint32_t kKeyBackground = 0xFF000000;  // black, fourth byte 255: the capture's untouched pixels

TEST(Rop3, EveryIndexIsItsOwnTruthTable) {
  // With P = 0xF0, S = 0xCC, D = 0xAA in every byte, f(P, S, D) is the index itself.
  for (int index = 0; index < 256; ++index) {
    const auto i = static_cast<std::uint8_t>(index);
    const std::uint32_t expected = i * 0x01010101u;
    EXPECT_EQ(Rop3(i)(0xF0F0F0F0u, 0xCCCCCCCCu, 0xAAAAAAAAu), expected) << std::hex << index;
    EXPECT_EQ(apply_rop3(i, 0xF0F0F0F0u, 0xCCCCCCCCu, 0xAAAAAAAAu), expected) << std::hex << index;
  }
}

TEST(Rop3, NamedCodesAndOperands) {
  EXPECT_EQ(rop3_index(SRCCOPY), 0xCC);
  EXPECT_EQ(rop3_index(MERGEPAINT), 0xBB);
  EXPECT_EQ(rop3_index(PATPAINT), 0xFB);
  EXPECT_TRUE(rop3_uses_source(rop3_index(SRCAND)));
  EXPECT_FALSE(rop3_uses_source(rop3_index(PATINVERT)));
  EXPECT_TRUE(rop3_uses_pattern(rop3_index(MERGECOPY)));
  EXPECT_FALSE(rop3_uses_pattern(rop3_index(SRCERASE)));
  EXPECT_FALSE(rop3_uses_destination(rop3_index(NOTSRCCOPY)));
  EXPECT_TRUE(rop3_uses_destination(rop3_index(DSTINVERT)));
  EXPECT_EQ(rop4_background_index(0xAACC0020), 0xAA);
}

TEST(Blit, FourthByteFollowsTheWholeWordRules) {
  Canvas canvas(4, 1, kKeyBackground);
  const Image32 rgb = row_image({0x102030});
  const Image32 argb = row_image({0x4D102030}, true);
  auto one = [&](int x, const Image32& image, DWORD rop) {
    blit(canvas.target(), AxisPlacement{x, 0, 1, 1}, whole(image), RopBlit{rop});
  };
  one(0, rgb, SRCCOPY);     // a source without a fourth byte writes 0 there
  one(1, argb, SRCCOPY);    // a 32-bit source copies its own
  one(2, rgb, NOTSRCCOPY);  // ~S: 0 becomes 255
  one(3, argb, SRCINVERT);  // 77 ^ 255
  EXPECT_EQ(canvas.at(0, 0), 0x00102030u);
  EXPECT_EQ(canvas.at(1, 0), 0x4D102030u);
  EXPECT_EQ(canvas.at(2, 0), 0xFFEFDFCFu);
  EXPECT_EQ(canvas.at(3, 0), 0xB2102030u);
}

TEST(Blit, PatternOnlyOperations) {
  Canvas canvas(4, 1, kKeyBackground);
  const SolidPattern green(0x00C800);
  auto pat = [&](int x, DWORD rop) {
    return blit(canvas.target(), AxisPlacement{x, 0, 1, 1}, BlitSource{nullptr, 0, 0, 1, 1}, RopBlit{rop, &green});
  };
  EXPECT_TRUE(pat(0, PATCOPY));
  EXPECT_TRUE(pat(1, DSTINVERT));
  EXPECT_TRUE(pat(2, WHITENESS));
  EXPECT_FALSE(pat(3, SRCCOPY)) << "a source operation without a source draws nothing";
  EXPECT_EQ(canvas.at(0, 0), 0x0000C800u);
  EXPECT_EQ(canvas.at(1, 0), 0x00FFFFFFu);
  EXPECT_EQ(canvas.at(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.at(3, 0), kKeyBackground);
  EXPECT_FALSE(blit(canvas.target(), AxisPlacement{0, 0, 1, 1}, BlitSource{nullptr, 0, 0, 1, 1}, RopBlit{PATCOPY}))
      << "no brush";
}

// A source of one pixel stretched over a clipped area with a one-colour
// brush: every operation gives, bit by bit, what its truth table gives for
// each destination pixel, and the pixels outside the clip keep theirs.
TEST(Blit, OnePixelSourceStretchedAgreesWithTheTruthTable) {
  const Image32 image = row_image({0x5A0FF00F, 0x12345678}, true);
  const SolidPattern brush(0x00C3A5);
  const Region clip = Region::from_rects({{0, 0, 5, 1}, {2, 1, 7, 3}});
  for (int index = 0; index < 256; ++index) {
    Canvas canvas(7, 3, 0);
    for (std::size_t i = 0; i < canvas.pixels.size(); ++i) canvas.pixels[i] = 0x9E3779B9u * (i + 1);
    const std::vector<std::uint32_t> before = canvas.pixels;
    const DWORD rop = static_cast<DWORD>(index) << 16;
    ASSERT_TRUE(blit(canvas.target(&clip), AxisPlacement{1, 0, 9, 3}, BlitSource{&image, 1, 0, 1, 1},
                     RopBlit{rop, &brush}));
    for (int y = 0; y < canvas.height; ++y) {
      for (int x = 0; x < canvas.width; ++x) {
        const std::uint32_t was = before[static_cast<std::size_t>(y) * canvas.width + x];
        const bool drawn = x >= 1 && (y == 0 ? x < 5 : x >= 2);
        EXPECT_EQ(canvas.at(x, y), drawn ? apply_rop3(static_cast<std::uint8_t>(index), 0x00C3A5, 0x12345678, was) : was)
            << std::hex << index << " at " << std::dec << x << ", " << y;
      }
    }
  }
}

// The source index each destination pixel of a one-row stretch takes.
std::vector<int> stretched(int source_width, int device_width, int mode) {
  std::vector<std::uint32_t> values;
  for (int i = 0; i < source_width; ++i) values.push_back(1u << i);
  const Image32 image = row_image(values);
  Canvas canvas(std::abs(device_width) + 2, 1, 0);
  const int x = device_width < 0 ? -device_width : 0;
  blit(canvas.target(), AxisPlacement{x, 0, device_width, 1}, whole(image), RopBlit{SRCCOPY, nullptr, mode});
  std::vector<int> out;
  for (int i = 0; i < canvas.width; ++i) out.push_back(static_cast<int>(canvas.at(i, 0)));
  return out;
}

TEST(Blit, StretchMappingMatchesThePlatform) {
  // Enlarging takes the pixel under each centre, ties to the left.
  EXPECT_EQ(stretched(3, 7, COLORONCOLOR), (std::vector<int>{1, 1, 2, 2, 2, 4, 4, 0, 0}));
  EXPECT_EQ(stretched(4, 10, COLORONCOLOR), (std::vector<int>{1, 1, 1, 2, 2, 4, 4, 4, 8, 8, 0, 0}));
  // Shrinking groups the pixels whose centres fall inside; COLORONCOLOR keeps the last.
  EXPECT_EQ(stretched(8, 3, COLORONCOLOR), (std::vector<int>{4, 16, 128, 0, 0}));
  EXPECT_EQ(stretched(8, 3, WHITEONBLACK), (std::vector<int>{0x07, 0x18, 0xE0, 0, 0}));
  EXPECT_EQ(stretched(8, 3, BLACKONWHITE), (std::vector<int>{0, 0, 0, 0, 0}));
  // A negative width mirrors and covers x + width + 1 .. x.
  EXPECT_EQ(stretched(4, -5, COLORONCOLOR), (std::vector<int>{0, 8, 4, 2, 2, 1, 0}));
}

// Shrinking in both directions, mirrored or not, with a source rectangle
// that runs off the image: each destination pixel combines exactly the
// source pixels its column and row ranges name.
TEST(Blit, ShrinkingCombinesEachPixelsWholeBlock) {
  Image32 image;
  image.width = 13;
  image.height = 11;
  for (int i = 0; i < image.width * image.height; ++i) image.pixels.push_back(0x9E3779B9u * (i + 7) ^ (i << 20));
  const BlitSource source{&image, -1, 2, 15, 9};  // a column each side of the image, rows to the last
  for (const int mode : {BLACKONWHITE, WHITEONBLACK}) {
    for (const int device_width : {5, -5}) {
      Canvas canvas(6, 4, 0x12345678);
      const int x = device_width < 0 ? 4 : 0;
      ASSERT_TRUE(blit(canvas.target(), AxisPlacement{x, 0, device_width, 4}, source, RopBlit{SRCCOPY, nullptr, mode}));
      const AxisMap columns(source.width, 5, device_width < 0), rows(source.height, 4, false);
      for (int dy = 0; dy < 4; ++dy) {
        for (int dx = 0; dx < 5; ++dx) {
          const int device_x = device_width < 0 ? x + device_width + 1 + dx : x + dx;
          const AxisRange c = columns.at(dx), r = rows.at(dy);
          std::uint32_t expected = mode == WHITEONBLACK ? 0 : 0xFFFFFFFFu;
          const int u1 = source.x + c.last, v1 = source.y + r.last;
          for (int v = std::max(source.y + r.first, 0); v <= v1; ++v) {
            for (int u = std::max(source.x + c.first, 0); u <= u1; ++u) {
              const std::uint32_t word = image.at(u, v);
              expected = mode == WHITEONBLACK ? expected | word : expected & word;
            }
          }
          if (u1 < 0 || u1 >= image.width) expected = 0x12345678;  // its last column past the image: left alone
          EXPECT_EQ(canvas.at(device_x, dy), expected) << mode << " " << device_width << " at " << dx << ", " << dy;
        }
      }
    }
  }
}

// The blue byte of each destination pixel of a one-row HALFTONE stretch.
std::vector<int> halftone(const std::vector<std::uint32_t>& blues, int device_width) {
  const Image32 image = row_image(blues);
  Canvas canvas(device_width, 1, 0);
  blit(canvas.target(), AxisPlacement{0, 0, device_width, 1}, whole(image), RopBlit{SRCCOPY, nullptr, HALFTONE});
  std::vector<int> out;
  for (std::uint32_t pixel : canvas.pixels) out.push_back(static_cast<int>(pixel & 0xFF));
  return out;
}

TEST(Blit, HalftoneInterpolatesFromScaledIndices) {
  // Destination pixel i mixes the source pixels around i * source / device.
  EXPECT_EQ(halftone({0, 240}, 8), (std::vector<int>{0, 60, 120, 180, 240, 240, 240, 240}));
  EXPECT_EQ(halftone({0, 240, 0, 100}, 5), (std::vector<int>{0, 192, 96, 40, 100}));
  EXPECT_EQ(halftone({0, 0, 0, 240, 240, 240, 0, 0}, 3), (std::vector<int>{0, 160, 160}));
}

TEST(Blit, ClipAndSurfaceBoundsLimitTheWrites) {
  const Image32 image = row_image({1, 2, 3, 4, 5, 6});
  Canvas canvas(4, 1, 0xEE);
  const Region clip = Region::from_rects({{1, 0, 2, 1}, {3, 0, 9, 1}});
  blit(canvas.target(&clip), AxisPlacement{-2, 0, 6, 1}, whole(image), RopBlit{SRCCOPY});
  EXPECT_EQ(canvas.pixels, (std::vector<std::uint32_t>{0xEE, 4, 0xEE, 6}));
}

TEST(Blit, SourceRectanglePastTheImageLeavesPixelsAlone) {
  const Image32 image = row_image({7, 8});
  Canvas canvas(3, 1, 0xEE);
  blit(canvas.target(), AxisPlacement{0, 0, 3, 1}, BlitSource{&image, 0, 0, 3, 1}, RopBlit{SRCCOPY});
  EXPECT_EQ(canvas.pixels, (std::vector<std::uint32_t>{7, 8, 0xEE}));
}

TEST(Blit, MaskSelectsForegroundOrBackgroundOperation) {
  const Image32 image = row_image({0x111111, 0x222222, 0x333333});
  const Image32 mask = row_image({0xFFFFFF, 0x000000, 0xFFFFFF});
  Canvas canvas(3, 1, 0xFF445566);
  RopBlit op{0xAACC0020};  // MAKEROP4(SRCCOPY, keep destination)
  op.mask = &mask;
  blit(canvas.target(), AxisPlacement{0, 0, 3, 1}, whole(image), op);
  EXPECT_EQ(canvas.pixels, (std::vector<std::uint32_t>{0x111111, 0xFF445566, 0x333333}));
}

TEST(Blit, AffinePlacementRotatesAQuarterTurn) {
  const Image32 image = row_image({1, 2, 3});
  Canvas canvas(2, 4, 0);
  // The row runs down device column 1: its top edge lies along x = 2, its bottom edge along x = 1.
  AffinePlacement turn{2, 0, 2, 3, 1, 0};
  blit(canvas.target(), turn, whole(image), RopBlit{SRCCOPY});
  EXPECT_EQ(canvas.at(1, 0), 1u);
  EXPECT_EQ(canvas.at(1, 1), 2u);
  EXPECT_EQ(canvas.at(1, 2), 3u);
  EXPECT_EQ(canvas.at(0, 0), 0u);
  EXPECT_EQ(canvas.at(1, 3), 0u);
}

TEST(TransparentBlit, SkipsTheKeyColour) {
  const Image32 image = row_image({0x00FF00, 0x123456});
  Canvas canvas(2, 1, kKeyBackground);
  transparent_blit(canvas.target(), AxisPlacement{0, 0, 2, 1}, whole(image), 0x00FF00);
  EXPECT_EQ(canvas.pixels, (std::vector<std::uint32_t>{kKeyBackground, 0x123456}));
}

TEST(AlphaBlend, MatchesThePlatformArithmetic) {
  const std::uint32_t green = 0x0000C800;  // a drawn pixel: fourth byte 0
  Canvas canvas(4, 1, green);
  canvas.pixels[3] = kKeyBackground;
  const Image32 premultiplied = row_image({0x64C08040}, true);  // coverage 100
  const Image32 opaque = row_image({0xC08040});
  const BLENDFUNCTION per_pixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const BLENDFUNCTION half_per_pixel{AC_SRC_OVER, 0, 128, AC_SRC_ALPHA};
  const BLENDFUNCTION half_constant{AC_SRC_OVER, 0, 128, 0};
  alpha_blend(canvas.target(), AxisPlacement{0, 0, 1, 1}, whole(premultiplied), per_pixel);
  alpha_blend(canvas.target(), AxisPlacement{1, 0, 1, 1}, whole(premultiplied), half_per_pixel);
  alpha_blend(canvas.target(), AxisPlacement{2, 0, 1, 1}, whole(opaque), half_constant);
  alpha_blend(canvas.target(), AxisPlacement{3, 0, 1, 1}, whole(opaque), half_constant);
  EXPECT_EQ(canvas.at(0, 0), 0x64C0FA40u);
  EXPECT_EQ(canvas.at(1, 0), 0x3260E120u);
  EXPECT_EQ(canvas.at(2, 0), 0x8060A420u);
  EXPECT_EQ(canvas.at(3, 0), 0xFF604020u);
  EXPECT_FALSE(alpha_blend(canvas.target(), AxisPlacement{0, 0, 1, 1}, whole(opaque), per_pixel))
      << "per-pixel alpha needs a source with a fourth byte";
}

TEST(GradientFill, HorizontalRectangleRampsFromTheLeftVertex) {
  Canvas canvas(10, 3, kKeyBackground);
  const GradientVertex left{0, 0, 0, 0, 0, 0x8000};
  const GradientVertex right{8, 2, 0xFF00, 0, 0xFFFF, 0xFFFF};
  gradient_fill_rect(canvas.target(), right, left, false);
  EXPECT_EQ(canvas.at(0, 0), 0x80000000u);
  EXPECT_EQ(canvas.at(1, 1), 0x8F1F001Fu);
  EXPECT_EQ(canvas.at(7, 0), 0xEFDF00DFu);
  EXPECT_EQ(canvas.at(8, 0), kKeyBackground) << "right edge excluded";
  EXPECT_EQ(canvas.at(0, 2), kKeyBackground) << "bottom edge excluded";
}

TEST(GradientFill, TriangleCoversCentresAndColoursByCorners) {
  Canvas canvas(8, 8, 0);
  const GradientVertex a{0, 0, 0xFFFF, 0, 0, 0xFFFF};
  const GradientVertex b{8, 0, 0xFFFF, 0, 0, 0xFFFF};
  const GradientVertex c{0, 8, 0, 0, 0xFFFF, 0xFFFF};
  gradient_fill_triangle(canvas.target(), a, b, c);
  EXPECT_EQ(canvas.at(0, 0), 0xFFFF0000u) << "the corner at a vertex takes its colour";
  EXPECT_EQ(canvas.at(0, 7), 0xFF1F00DFu) << "7/8 of the way to c, truncated";
  EXPECT_EQ(canvas.at(7, 7), 0u) << "centre outside the triangle";
}

}  // namespace
}  // namespace velmora::platform
