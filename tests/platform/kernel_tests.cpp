// kernel32 files (opening, share modes, sizes, reads), the last error, and
// the wsprintfW formatter with its locale conversion.
#include "kernel/locale_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

class KernelFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora-kernel-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes a file and returns its wide path.
  std::wstring make_file(const std::string& name, const std::string& content) {
    std::ofstream(dir_ / name, std::ios::binary) << content;
    return (dir_ / name).wstring();
  }

  static HANDLE open(const std::wstring& path, DWORD share, DWORD access = GENERIC_READ) {
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  }

  fs::path dir_;
};

TEST_F(KernelFileTest, ReadsAWholeFile) {
  const std::wstring path = make_file("seven.bin", "1234567");
  HANDLE file = open(path, FILE_SHARE_READ);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(file, &high), 7u);
  EXPECT_EQ(high, 0u);

  char buffer[16] = {};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr)) << "asking for more than there is";
  EXPECT_EQ(read, 7u);
  EXPECT_STREQ(buffer, "1234567");
  EXPECT_TRUE(ReadFile(file, buffer, 4, &read, nullptr));
  EXPECT_EQ(read, 0u) << "at the end";

  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
  EXPECT_FALSE(ReadFile(file, buffer, 4, &read, nullptr));
}

TEST_F(KernelFileTest, OpenFailuresSetTheLastError) {
  const auto expect_failure = [](HANDLE h, DWORD error) {
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), error);
  };
  expect_failure(open((dir_ / "missing.emf").wstring(), FILE_SHARE_READ), ERROR_FILE_NOT_FOUND);
  expect_failure(open(L"", FILE_SHARE_READ), ERROR_FILE_NOT_FOUND);
  expect_failure(open(dir_.wstring(), FILE_SHARE_READ), ERROR_ACCESS_DENIED);
  expect_failure(CreateFileW(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), ERROR_INVALID_PARAMETER);
  const std::wstring path = make_file("x.bin", "x");
  expect_failure(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
                 ERROR_INVALID_PARAMETER);
  const wchar_t not_unicode[] = {L'/', static_cast<wchar_t>(0xD800), L'\0'};
  expect_failure(open(not_unicode, FILE_SHARE_READ), ERROR_FILE_NOT_FOUND);
}

TEST_F(KernelFileTest, ShareModesAreEnforcedWithinTheProcess) {
  const std::wstring path = make_file("shared.emf", "data");
  HANDLE shared = open(path, FILE_SHARE_READ);
  ASSERT_NE(shared, INVALID_HANDLE_VALUE);
  HANDLE second = open(path, FILE_SHARE_READ);
  EXPECT_NE(second, INVALID_HANDLE_VALUE) << "readers that share reading";
  CloseHandle(second);

  EXPECT_EQ(open(path, 0), INVALID_HANDLE_VALUE) << "no sharing while another reader holds it";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(CloseHandle(shared));

  HANDLE exclusive = open(path, 0);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE) << "free again once closed";
  EXPECT_EQ(open(path, FILE_SHARE_READ), INVALID_HANDLE_VALUE) << "the holder shares nothing";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  const std::wstring other = make_file("other.emf", "data");
  HANDLE unrelated = open(other, 0);
  EXPECT_NE(unrelated, INVALID_HANDLE_VALUE) << "another file is not affected";
  CloseHandle(unrelated);
  EXPECT_TRUE(CloseHandle(exclusive));

  HANDLE writer = open(path, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(open(path, FILE_SHARE_READ), INVALID_HANDLE_VALUE) << "a reader that does not share writing";
  HANDLE tolerant = open(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_NE(tolerant, INVALID_HANDLE_VALUE);
  char byte;
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(writer, &byte, 1, &read, nullptr)) << "opened without read access";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(tolerant);
  CloseHandle(writer);
}

TEST_F(KernelFileTest, SizesBeyondThirtyTwoBitsReportTheirHighPart) {
  const std::wstring path = make_file("huge.bin", "");
  fs::resize_file(dir_ / "huge.bin", 0x1'0000'000AULL);  // sparse: takes no space
  HANDLE file = open(path, FILE_SHARE_READ);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 0;
  EXPECT_EQ(GetFileSize(file, &high), 10u);
  EXPECT_EQ(high, 1u);
  CloseHandle(file);

  fs::resize_file(dir_ / "huge.bin", 0xFFFFFFFFULL);
  file = open(path, FILE_SHARE_READ);
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "a real size, not a failure";
  CloseHandle(file);
}

TEST_F(KernelFileTest, OpensNonAsciiPaths) {
  std::ofstream(dir_ / "t\xC3\xABst\xE2\x9C\x93.emf") << "ok";  // "tëst✓.emf" in UTF-8, as Linux names files
  HANDLE file = open(dir_.wstring() + L"/t\u00EBst\u2713.emf", FILE_SHARE_READ);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

TEST(KernelProcess, LastErrorIsPerThread) {
  SetLastError(ERROR_ACCESS_DENIED);
  std::thread([] {
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    SetLastError(ERROR_FILE_NOT_FOUND);
  }).join();
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(KernelProcess, TickCountAdvancesInMilliseconds) {
  const DWORD start = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u);
  EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));
}

TEST(Wsprintf, FormatsEachConversion) {
  WCHAR out[1024];
  EXPECT_EQ(wsprintfW(out, L"%s|%S|%d|%u|%x|%c|%%", L"wide", "narrow", -42, 4000000000u, 0xBEEFu, L'Z'), 35);
  EXPECT_STREQ(out, L"wide|narrow|-42|4000000000|beef|Z|%");
  EXPECT_EQ(wsprintfW(out, L"%s %S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)), 13);
  EXPECT_STREQ(out, L"(null) (null)");
  EXPECT_EQ(wsprintfW(out, L"100%"), 3) << "a lone % at the end is dropped";
}

TEST(Wsprintf, StopsAtTheLimit) {
  std::vector<WCHAR> out(2000, L'#');
  const std::string long_path(1500, 'a');
  EXPECT_EQ(wsprintfW(out.data(), L"%S", long_path.c_str()), 1023);
  EXPECT_EQ(out[1022], L'a');
  EXPECT_EQ(out[1023], L'\0');
  EXPECT_EQ(out[1024], L'#') << "nothing written past the limit";
}

TEST(Wsprintf, ConvertsNarrowTextByteForByteAtMost) {
  WCHAR out[64];
  // UTF-8 "é✓", then a byte that is not UTF-8, which stands for itself.
  EXPECT_EQ(wsprintfW(out, L"%S", "\xC3\xA9\xE2\x9C\x93\xE9!"), 4);
  EXPECT_STREQ(out, L"\u00E9\u2713\u00E9!");
  // A path survives the way to wide characters and back to the same bytes.
  const char path[] = "/tmp/caf\xC3\xA9/\xF0\x9F\x90\xAF.emf";
  wsprintfW(out, L"%S", path);
  EXPECT_EQ(velmora::platform::wide_to_narrow(out), std::string(path));
}

}  // namespace
