// Pixel memory of bitmaps: every block comes zeroed, reused or new, and
// the blocks kept for reuse stay few.
#include "gdi/pixel_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace velmora::platform {
namespace {

constexpr std::size_t kLarge = std::size_t{6} << 20;  // past the huge-page size, not a multiple of it

bool all_zero(const std::uint8_t* memory, std::size_t size) {
  return std::all_of(memory, memory + size, [](std::uint8_t b) { return b == 0; });
}

TEST(PixelMemory, BlocksComeZeroedWhetherNewOrReused) {
  for (std::size_t size : {std::size_t{64}, kLarge + 12345}) {
    std::uint8_t* first = take_pixel_memory(size);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(all_zero(first, size));
    std::fill(first, first + size, 0xAB);
    give_back_pixel_memory(first, size);
    std::uint8_t* second = take_pixel_memory(size);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(all_zero(second, size)) << size;
    give_back_pixel_memory(second, size);
  }
}

TEST(PixelMemory, ReusedBlocksAreTakenBackAndTheKeptOnesStayBounded) {
  const std::size_t before = kept_pixel_memory();
  std::vector<std::uint8_t*> blocks;
  for (int i = 0; i < 8; ++i) blocks.push_back(take_pixel_memory(kLarge));
  for (std::uint8_t* b : blocks) ASSERT_NE(b, nullptr);
  for (std::uint8_t* b : blocks) give_back_pixel_memory(b, kLarge);
  const std::size_t kept = kept_pixel_memory();
  EXPECT_GT(kept, before);
  EXPECT_LE(kept, before + 4 * kLarge);
  std::uint8_t* again = take_pixel_memory(kLarge);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(kept_pixel_memory(), kept - kLarge);
  give_back_pixel_memory(again, kLarge);
}

TEST(PixelMemory, ImpossibleSizesGiveNull) {
  EXPECT_EQ(take_pixel_memory(SIZE_MAX), nullptr);
  EXPECT_EQ(take_pixel_memory(SIZE_MAX - (std::size_t{1} << 20)), nullptr);
  give_back_pixel_memory(nullptr, kLarge);  // nothing to give back: no effect
}

}  // namespace
}  // namespace velmora::platform
