// Velmora under allocation failure: each allocation of a call, in turn, is
// made to fail alone. Whatever fails, the call returns 0 or 1, no exception
// leaves it, nothing it made stays alive, and a failed call leaves the target.
#include <gtest/gtest.h>
#include <platform_diagnostics.h>
#include <velmora.h>

#include <numbers>
#include <vector>

#include "core/dib_target.h"
#include "core/failing_allocator.h"
#include "core/test_pictures.h"

namespace velmora::test {
namespace {

// Enough for one small call; the sweep stops as soon as a call runs through.
constexpr std::size_t kMaxAllocationsPerCall = 5000;

TEST(VelmoraAllocationFailure, EveryFailureIsReleasedAndReported) {
  DibTarget target(24, 20);
  const Picture picture = filled_triangle({{0, 0}, {100, 20}, {40, 100}}, RGB(30, 140, 250));
  const std::size_t dcs = VelmoraPlatformLiveObjects(OBJ_MEMDC);
  const std::size_t bitmaps = VelmoraPlatformLiveObjects(OBJ_BITMAP);
  const std::vector<std::uint8_t> before = target.snapshot();

  std::size_t n = 0;
  std::size_t refused = 0;
  for (; n < kMaxAllocationsPerCall; ++n) {
    RECT rect{2, 3, 21, 17};
    target.fill_pattern();
    fail_allocation_number(n);
    const int result = Velmora(target.dc(), picture.get(), &rect, 255, std::numbers::pi / 6, 0, 0, 1, 1);
    const bool failed = disarm_allocation_failures();

    ASSERT_TRUE(result == 0 || result == 1);
    ASSERT_EQ(VelmoraPlatformLiveObjects(OBJ_MEMDC), dcs) << "after failing allocation " << n;
    ASSERT_EQ(VelmoraPlatformLiveObjects(OBJ_BITMAP), bitmaps) << "after failing allocation " << n;
    if (result == 0) {
      ++refused;
      ASSERT_EQ(target.snapshot(), before) << "after failing allocation " << n;
    }
    if (!failed) {
      EXPECT_EQ(result, 1) << "a call without failures must draw";
      break;
    }
  }
  EXPECT_LT(n, kMaxAllocationsPerCall) << "the call never ran through";
  EXPECT_GT(refused, 0u) << "no failure was reported";
}

}  // namespace
}  // namespace velmora::test
