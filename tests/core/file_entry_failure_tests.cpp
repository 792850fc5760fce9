// The file entry points and the platform's player under allocation failure:
// each allocation of a call, in turn, is made to fail alone. Whatever fails,
// VelmoraFileW and VelmoraFile return 0 or 1 and a 0 leaves the target as
// it was; the player's calls give their failure result or a partial
// drawing; nothing any of them made stays alive.
#include <gtest/gtest.h>
#include <platform_diagnostics.h>
#include <velmora.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/dib_target.h"
#include "core/failing_allocator.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// Text, a bitmap and clipping make the calls allocate in every subsystem.
const fs::path kEmf = fs::path(VELMORA_TEST_DATA) / "corpus" / "embedded_document_image1.emf";
const fs::path kWmf = fs::path(VELMORA_TEST_DATA) / "corpus" / "47813_thumbnail.wmf";
constexpr std::size_t kMaxAllocationsPerCall = 200'000;

struct LiveCounts {
  std::vector<std::size_t> counts;
  static LiveCounts now() {
    LiveCounts live;
    for (DWORD type : {OBJ_MEMDC, OBJ_BITMAP, OBJ_ENHMETAFILE, OBJ_PEN, OBJ_EXTPEN, OBJ_BRUSH, OBJ_FONT, OBJ_REGION,
                       OBJ_PAL}) {
      live.counts.push_back(VelmoraPlatformLiveObjects(type));
    }
    return live;
  }
  bool operator==(const LiveCounts&) const = default;
};

struct SweepResult {
  std::size_t calls = 0;
  std::size_t refused = 0;
};

// Runs call with allocation n failing, for n = 0, 1, ... until a call runs
// through without reaching its chosen allocation. call returns the entry
// point's result; a 0 must leave the target untouched.
SweepResult sweep(DibTarget& target, const std::function<int()>& call, bool zero_leaves_target) {
  const LiveCounts live = LiveCounts::now();
  target.fill_pattern();
  const std::vector<std::uint8_t> before = target.snapshot();
  SweepResult result;
  for (std::size_t n = 0; n < kMaxAllocationsPerCall; ++n) {
    target.fill_pattern();
    fail_allocation_number(n);
    const int returned = call();
    const bool failed = disarm_allocation_failures();
    ++result.calls;
    EXPECT_TRUE(returned == 0 || returned == 1) << "allocation " << n;
    EXPECT_TRUE(LiveCounts::now() == live) << "objects left alive after failing allocation " << n;
    if (returned == 0) {
      ++result.refused;
      if (zero_leaves_target) {
        EXPECT_EQ(target.snapshot(), before) << "target drawn on after failing allocation " << n;
      }
    }
    if (!failed) {
      EXPECT_EQ(returned, 1) << "a call without failures must succeed";
      std::cout << result.calls - 1 << " allocations failed in turn, " << result.refused << " calls gave 0\n";
      return result;
    }
    if (::testing::Test::HasFailure()) return result;
  }
  ADD_FAILURE() << "the call never ran through";
  return result;
}

TEST(FileEntryAllocationFailure, VelmoraFileWReleasesAndReportsEveryFailure) {
  DibTarget target(24, 20);
  for (const fs::path& file : {kEmf, kWmf}) {
    const std::wstring path = file.wstring();  // made before the sweep: the test's own allocations must not fail
    const SweepResult result = sweep(
        target,
        [&] {
          RECT rect{1, 2, 22, 18};
          return VelmoraFileW(target.dc(), path.c_str(), &rect, 255, true, 0.5);
        },
        true);
    EXPECT_GT(result.refused, 0u) << file;
    RecordProperty(file.filename().string() + "_allocations", static_cast<int>(result.calls));
  }
}

TEST(FileEntryAllocationFailure, VelmoraFileReleasesAndReportsEveryFailure) {
  DibTarget target(16, 16);
  const std::string path = kWmf.string();
  const SweepResult result = sweep(
      target,
      [&] {
        RECT rect{0, 0, 15, 15};
        return VelmoraFile(target.dc(), path.c_str(), &rect, 128, false, 0.0);
      },
      true);
  EXPECT_GT(result.refused, 0u);
}

std::vector<std::uint8_t> read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The player draws record by record, so a failure part-way leaves what it
// drew before; what must hold is its result and that nothing stays alive.
TEST(PlayerAllocationFailure, ConversionAndPlaybackReleaseEveryObject) {
  const std::vector<std::uint8_t> emf = read_bytes(kEmf);
  const std::vector<std::uint8_t> wmf = read_bytes(kWmf);
  DibTarget target(32, 32);
  const RECT bounds{0, 0, 32, 32};
  auto play = [&](HENHMETAFILE picture) {
    if (!picture) return 0;
    const BOOL played = PlayEnhMetaFile(target.dc(), picture, &bounds);
    DeleteEnhMetaFile(picture);
    return played ? 1 : 0;
  };
  sweep(target, [&] { return play(SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data())); }, false);
  sweep(
      target,
      [&] { return play(SetWinMetaFileBits(static_cast<UINT>(wmf.size()), wmf.data(), nullptr, nullptr)); },
      false);
}

}  // namespace
}  // namespace velmora::test
