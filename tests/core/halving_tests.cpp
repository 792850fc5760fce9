// The exact halving against AGG's filtered resampling at angle 0, which it
// stands in for: the same bytes in a new (all 0) result for any capture
// (colours above their alpha, as a key below 255 leaves them, included),
// any size, edges and all; and nothing written outside the W x H block.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "halving.h"
#include "resample.h"

namespace velmora::core {
namespace {

struct Bitmap {
  int width;
  int height;
  std::vector<std::uint8_t> bytes;
  PixelMemory memory() { return {bytes.data(), width, height}; }
};

// Mostly keyed pixels (alpha 0, 255 or a key between) with colours that
// may exceed their alpha, and some untouched (all 0) ones.
Bitmap random_capture(int width, int height, std::mt19937& random) {
  Bitmap capture{width, height, std::vector<std::uint8_t>(std::size_t{4} * width * height)};
  for (std::size_t i = 0; i < capture.bytes.size(); i += 4) {
    const unsigned kind = random() % 4;
    const auto alpha = static_cast<std::uint8_t>(kind == 0 ? 0 : kind == 1 ? 255 : random());
    for (int c = 0; c < 3; ++c) capture.bytes[i + c] = static_cast<std::uint8_t>(kind == 0 ? 0 : random());
    capture.bytes[i + 3] = alpha;
  }
  return capture;
}

// A result bitmap of the capture's size whose bytes are not 0, so that a
// write outside the block shows.
Bitmap marked_result(int width, int height) {
  Bitmap result{width, height, std::vector<std::uint8_t>(std::size_t{4} * width * height)};
  for (std::size_t i = 0; i < result.bytes.size(); ++i) result.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return result;
}

Bitmap new_result(int width, int height) {
  return Bitmap{width, height, std::vector<std::uint8_t>(std::size_t{4} * width * height)};
}

void expect_same_as_agg(Bitmap capture, int width, int height) {
  Bitmap expected = new_result(capture.width, capture.height);
  Bitmap fast = expected;
  Bitmap portable = expected;
  resample_filtered(capture.memory(), expected.memory(), width, height, 0.0);
  halve(capture.memory(), fast.memory(), width, height);
  halve_portable(capture.memory(), portable.memory(), width, height);
  EXPECT_EQ(fast.bytes, expected.bytes) << width << " x " << height;
  EXPECT_EQ(portable.bytes, expected.bytes) << width << " x " << height;
}

TEST(Halving, GivesAggBytesAtEverySizeTheLibraryMakes) {
  std::mt19937 random(9);
  // The capture is 2W + 2 by 2H + 2: the block and the one-pixel frame.
  for (const auto& [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {2, 3}, {17, 12}, {64, 5}, {203, 151}}) {
    expect_same_as_agg(random_capture(2 * w + 2, 2 * h + 2, random), w, h);
  }
}

TEST(Halving, RepeatsEdgePixelsAsAggWhenTheCaptureIsSmall) {
  std::mt19937 random(4);
  // Windows that leave the capture on the right and at the bottom too.
  for (const auto& [cw, ch, w, h] : {std::tuple{1, 1, 3, 2}, {3, 2, 4, 4}, {5, 9, 6, 3}, {8, 8, 4, 4}}) {
    Bitmap capture = random_capture(cw, ch, random);
    // The result has room for the block; the capture keeps its own size.
    Bitmap expected = new_result(2 * w + 2, 2 * h + 2);
    Bitmap fast = expected;
    resample_filtered(capture.memory(), expected.memory(), w, h, 0.0);
    halve(capture.memory(), fast.memory(), w, h);
    EXPECT_EQ(fast.bytes, expected.bytes) << cw << " x " << ch << " into " << w << " x " << h;
  }
}

TEST(Halving, KeepsAnEvenColourAndLeavesTheRestAlone) {
  const int w = 6;
  const int h = 4;
  Bitmap capture{2 * w + 2, 2 * h + 2, {}};
  for (int i = 0; i < capture.width * capture.height; ++i) capture.bytes.insert(capture.bytes.end(), {10, 20, 30, 255});
  Bitmap result = marked_result(capture.width, capture.height);
  const Bitmap before = result;
  halve(capture.memory(), result.memory(), w, h);
  const std::size_t stride = std::size_t{4} * result.width;
  for (int y = 0; y < result.height; ++y) {
    for (int x = 0; x < result.width; ++x) {
      const std::size_t at = stride * (result.height - 1 - y) + 4 * x;  // bottom-up rows
      const bool in_block = x < w && y < h;
      const std::vector<std::uint8_t> pixel(result.bytes.begin() + at, result.bytes.begin() + at + 4);
      const std::vector<std::uint8_t> was(before.bytes.begin() + at, before.bytes.begin() + at + 4);
      const std::vector<std::uint8_t> colour{10, 20, 30, 255};
      EXPECT_EQ(pixel, in_block ? colour : was) << x << ", " << y;
    }
  }
}

}  // namespace
}  // namespace velmora::core
