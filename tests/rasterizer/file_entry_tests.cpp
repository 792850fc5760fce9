// VelmoraFileW and VelmoraFile: reading, identification, the aspect fit as
// seen in the drawn pixels, and what every way out releases.
#include "support/emf_builder.h"
#include "support/wmf_builder.h"

#include <platform_diagnostics.h>
#include <velmora.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using velmora::test::EmfBuilder;
using Bytes = std::vector<std::uint8_t>;

constexpr int kSide = 200;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

// An EMF whose frame, 2:1, is filled with black: with the reference device of
// the builder (3.2 pixels per mm) a 20 x 10 mm frame is 64 x 32 pixels.
Bytes black_two_by_one() {
  return EmfBuilder({0, 0, 2000, 1000}, {0, 0, 63, 31})
      .select_stock(BLACK_BRUSH)
      .select_stock(NULL_PEN)
      .rectangle(0, 0, 65, 33)
      .bytes();
}

class FileEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora-file-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
    ASSERT_NE(bitmap_, nullptr);
    old_ = SelectObject(dc_, bitmap_);
    std::fill(pixels_, pixels_ + kSide * kSide, kWhite);
  }

  void TearDown() override {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    fs::remove_all(dir_);
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE), 0u);
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_MEMDC), 0u);
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_BITMAP), 0u);
  }

  fs::path write(const std::string& name, const Bytes& content) {
    std::ofstream(dir_ / name, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                       static_cast<std::streamsize>(content.size()));
    return dir_ / name;
  }

  // Calls VelmoraFileW and checks that the caller's rectangle kept its value.
  int draw(const fs::path& path, RECT rect, bool fit) {
    const RECT before = rect;
    const int result = VelmoraFileW(dc_, path.wstring().c_str(), &rect, 255, fit, 0.0);
    EXPECT_EQ(std::memcmp(&rect, &before, sizeof rect), 0) << "the caller's rectangle was written";
    return result;
  }

  // Pixel (x, y) counted from the top: the section is bottom-up.
  bool is_drawn(int x, int y) const { return pixels_[(kSide - 1 - y) * kSide + x] != kWhite; }

  // Nobody holds the file: an open that shares nothing succeeds.
  static bool is_closed(const fs::path& path) {
    HANDLE h = CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }

  fs::path dir_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
};

TEST_F(FileEntryTest, FitsThePictureToItsAspectAtTheTopLeft) {
  const fs::path path = write("two-by-one.emf", black_two_by_one());
  ASSERT_EQ(draw(path, {0, 0, kSide - 1, kSide - 1}, true), 1);
  // FitToAspect((0, 0, 199, 199), 2.0) is (0, 0, 199, 99).
  EXPECT_TRUE(is_drawn(100, 50));
  EXPECT_TRUE(is_drawn(195, 95));
  EXPECT_FALSE(is_drawn(100, 150));
  EXPECT_TRUE(is_closed(path));
}

TEST_F(FileEntryTest, WithoutFitTheWholeRectangleIsUsed) {
  const fs::path path = write("two-by-one.emf", black_two_by_one());
  ASSERT_EQ(draw(path, {0, 0, kSide - 1, kSide - 1}, false), 1);
  EXPECT_TRUE(is_drawn(100, 50));
  EXPECT_TRUE(is_drawn(100, 150));
}

TEST_F(FileEntryTest, NarrowPathsReachTheSameFile) {
  const fs::path path = write("caf\xC3\xA9.emf", black_two_by_one());  // "café.emf" in UTF-8
  RECT rect{0, 0, kSide - 1, kSide - 1};
  EXPECT_EQ(VelmoraFile(dc_, path.c_str(), &rect, 255, true, 0.0), 1);
  EXPECT_TRUE(is_drawn(100, 50));
  EXPECT_EQ(rect.bottom, kSide - 1);
  EXPECT_EQ(VelmoraFile(dc_, "", &rect, 255, true, 0.0), 0);
}

TEST_F(FileEntryTest, PlaceableAndPlainMetafilesAreDrawn) {
  velmora::test::WmfBuilder wmf;
  wmf.set_window_org(0, 0).set_window_ext(100, 100).rectangle(0, 0, 100, 100);
  EXPECT_EQ(draw(write("placeable.wmf", wmf.placeable(0, 0, 1440, 1440)), {0, 0, 99, 99}, true), 1);
  EXPECT_EQ(draw(write("plain.wmf", wmf.bytes()), {0, 0, 99, 99}, true), 1);
}

TEST_F(FileEntryTest, NullArgumentsAndMissingFilesReturnZero) {
  const fs::path path = write("two-by-one.emf", black_two_by_one());
  RECT rect{0, 0, 99, 99};
  EXPECT_EQ(VelmoraFileW(nullptr, path.wstring().c_str(), &rect, 255, true, 0.0), 0);
  EXPECT_EQ(VelmoraFileW(dc_, nullptr, &rect, 255, true, 0.0), 0);
  EXPECT_EQ(VelmoraFileW(dc_, path.wstring().c_str(), nullptr, 255, true, 0.0), 0);
  EXPECT_EQ(VelmoraFile(dc_, nullptr, &rect, 255, true, 0.0), 0);
  EXPECT_EQ(draw(dir_ / "missing.emf", rect, true), 0);
  EXPECT_EQ(draw(dir_, rect, true), 0) << "a directory";
  EXPECT_FALSE(is_drawn(50, 50));
}

TEST_F(FileEntryTest, RefusedDataReturnsZeroAndReleasesEverything) {
  Bytes not_emf = black_two_by_one();
  not_emf[4] = 3;  // header size not a multiple of 4
  const fs::path emf_path = write("refused.emf", not_emf);
  EXPECT_EQ(draw(emf_path, {0, 0, 99, 99}, true), 0);
  EXPECT_TRUE(is_closed(emf_path));
  EXPECT_EQ(draw(write("empty.wmf", {}), {0, 0, 99, 99}, true), 0);
  EXPECT_EQ(draw(write("junk.wmf", Bytes(100, 0xEE)), {0, 0, 99, 99}, false), 0);
  EXPECT_FALSE(is_drawn(50, 50));
}

TEST_F(FileEntryTest, AFileLockedAgainstReadingIsNotRead) {
  const fs::path path = write("locked.emf", black_two_by_one());
  HANDLE holder = CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(draw(path, {0, 0, 99, 99}, true), 0);
  CloseHandle(holder);
  EXPECT_EQ(draw(path, {0, 0, 99, 99}, true), 1);
}

TEST_F(FileEntryTest, SizesThatDoNotFitThirtyTwoBitsAreRefused) {
  const fs::path huge = write("huge.emf", black_two_by_one());
  fs::resize_file(huge, 0x1'0000'0000ULL + 200);  // sparse: the low 32 bits alone would look like a small file
  EXPECT_EQ(draw(huge, {0, 0, 99, 99}, true), 0);
  EXPECT_TRUE(is_closed(huge));
  fs::resize_file(huge, 0xFFFFFFFFULL);  // the size query's failure value
  EXPECT_EQ(draw(huge, {0, 0, 99, 99}, true), 0);
  EXPECT_TRUE(is_closed(huge));
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELMORA_SANITIZED 1
#endif

// Bytes of address space the process has mapped now.
rlim_t address_space_in_use() {
  std::ifstream statm("/proc/self/statm");
  rlim_t pages = 0;
  statm >> pages;
  return pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
}

// In a child process whose address space is too small for the file buffer.
TEST_F(FileEntryTest, AnAllocationFailureReturnsZeroWithEverythingReleased) {
#ifdef VELMORA_SANITIZED
  GTEST_SKIP() << "sanitizers reserve address space beyond any small limit";
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path big = write("big.emf", black_two_by_one());
  fs::resize_file(big, 0xC0000000ULL);  // 3 GiB, sparse
  const auto run_with_little_memory = [&] {
    constexpr rlim_t kRoom = rlim_t{512} << 20;  // enough to draw, far too little for the buffer
    rlimit limit{address_space_in_use() + kRoom, address_space_in_use() + kRoom};
    setrlimit(RLIMIT_AS, &limit);
    RECT rect{0, 0, 99, 99};
    const int result = VelmoraFileW(dc_, big.wstring().c_str(), &rect, 255, true, 0.0);
    const bool released = VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE) == 0 && is_closed(big);
    std::exit(result == 0 && released ? 0 : 1);
  };
  EXPECT_EXIT(run_with_little_memory(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
