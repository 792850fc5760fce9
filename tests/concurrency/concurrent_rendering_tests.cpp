// Many callers at once: eight threads draw metafiles with text, bitmaps and
// clipping through VelmoraFileW and VelmoraFile, each into its own target,
// and every drawing must equal, byte for byte, what the same call draws with
// the process to itself. The platform's shared state (the handle table, the
// stock objects every new context holds, the font matcher and the FreeType
// faces) is what this exercises; the ThreadSanitizer build in CI runs it.
#include "core/dib_target.h"

#include <platform_diagnostics.h>
#include <velmora.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

constexpr int kThreads = 8;
constexpr int kRoundsPerThread = 2;
constexpr int kTargetSide = 120;

// The project's own copies (tests/data/corpus, all with text, most with
// bitmaps and clipping); a few larger shared corpus files join when present.
std::vector<fs::path> pictures() {
  const fs::path own = fs::path(VELMORA_TEST_DATA) / "corpus";
  std::vector<fs::path> files = {own / "embedded_document_image1.emf", own / "ole_workbook_image1.emf",
                                 own / "47813_thumbnail.wmf",          own / "fulltest.wmf",
                                 own / "wrench.emf",                   own / "64716_image1.wmf",
                                 own / "test_embedded_zip_image3.wmf"};
  const fs::path shared = fs::path(VELMORA_SHARED_DIR) / "corpus" / "files";
  for (const char* name : {"apache-poi/spreadsheet__SimpleEMF_windows.emf", "apache-poi/slideshow__60677.wmf",
                           "apache-poi-embedded/spreadsheet__54524.xlsx__docProps__thumbnail.wmf"}) {
    if (fs::exists(shared / name)) files.push_back(shared / name);
  }
  return files;
}

// One drawing: a file through one entry point, with or without the fit and
// a turn, so that both resampling paths run.
struct Job {
  fs::path file;
  bool narrow;
  double angle;
};

std::vector<Job> jobs() {
  std::vector<Job> all;
  int i = 0;
  for (const fs::path& file : pictures()) {
    all.push_back({file, i % 2 == 1, i % 3 == 0 ? 0.4 : 0.0});
    ++i;
  }
  return all;
}

std::vector<std::uint8_t> draw(const Job& job) {
  DibTarget target(kTargetSide, kTargetSide);
  target.fill_pattern();
  RECT rect{0, 0, kTargetSide - 1, kTargetSide - 1};
  const int result = job.narrow
                         ? VelmoraFile(target.dc(), job.file.string().c_str(), &rect, 255, true, job.angle)
                         : VelmoraFileW(target.dc(), job.file.wstring().c_str(), &rect, 255, true, job.angle);
  if (result != 1) return {};
  return target.snapshot();
}

TEST(ConcurrentRendering, EightThreadsDrawWhatOneThreadDraws) {
  const std::vector<Job> all = jobs();
  std::vector<std::vector<std::uint8_t>> alone;
  for (const Job& job : all) {
    alone.push_back(draw(job));
    ASSERT_FALSE(alone.back().empty()) << job.file << " did not draw";
  }
  const std::size_t bitmaps = VelmoraPlatformLiveObjects(OBJ_BITMAP);
  const std::size_t dcs = VelmoraPlatformLiveObjects(OBJ_MEMDC);

  std::atomic<int> renders{0};
  std::atomic<int> differences{0};
  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t n = 0; n < all.size() * kRoundsPerThread; ++n) {
        // Each thread starts at another file, so different pictures overlap.
        const std::size_t j = (n + static_cast<std::size_t>(t)) % all.size();
        const bool same = draw(all[j]) == alone[j];
        ++renders;
        if (!same) {
          ++differences;
          failures[t] += all[j].file.filename().string() + " ";
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int t = 0; t < kThreads; ++t) EXPECT_TRUE(failures[t].empty()) << "thread " << t << ": " << failures[t];
  EXPECT_EQ(renders.load(), kThreads * kRoundsPerThread * static_cast<int>(all.size()));
  EXPECT_EQ(differences.load(), 0);
  EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_BITMAP), bitmaps);
  EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_MEMDC), dcs);
  RecordProperty("threads", kThreads);
  RecordProperty("renders", renders.load());
  RecordProperty("differences", differences.load());
  std::cout << kThreads << " threads, " << renders.load() << " renders of " << all.size() << " files, "
            << differences.load() << " differing from the one-thread drawing\n";
}

// Memory contexts made and released on many threads while others hold
// theirs: every new context holds the shared stock bitmap, which must stay
// selectable back into each of them.
TEST(ConcurrentRendering, StockBitmapGoesBackIntoEveryContext) {
  std::atomic<int> refused{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int n = 0; n < 200; ++n) {
        HDC dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ stock = SelectObject(dc, bitmap);
        if (!stock || SelectObject(dc, stock) != bitmap) ++refused;
        if (!DeleteObject(bitmap)) ++refused;
        DeleteDC(dc);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(refused.load(), 0);
}

}  // namespace
}  // namespace velmora::test
