// The window layer's own behaviour: creation and destruction messages, the
// queue's order, painting over the backing store, text, and the Open dialog.
#include "window/headless_session.h"

#include <platform_diagnostics.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::test {
namespace {

struct Seen {
  std::vector<UINT> messages;
  int paints = 0;
};
Seen* seen = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (seen) seen->messages.push_back(msg);
  if (msg == WM_PAINT) {
    if (seen) ++seen->paints;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{0, 0, 200, 40};
    DrawTextW(dc, L"Centred", -1, &r, DT_CENTER);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_DESTROY) PostQuitMessage(7);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

const wchar_t kClass[] = L"WindowLayerTest";

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen = &seen_;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);
    window_ =
        CreateWindowExW(0, kClass, L"title", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);  // drains to the quit message
    UnregisterClassW(kClass, nullptr);
    seen = nullptr;
  }

  int loop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
  }

  Seen seen_;
  HWND window_ = nullptr;
  HeadlessSession session_;
};

TEST_F(WindowTest, CreationSendsCreateAndDestructionDestroy) {
  ASSERT_NE(window_, nullptr);
  ASSERT_FALSE(seen_.messages.empty());
  EXPECT_EQ(seen_.messages.front(), static_cast<UINT>(WM_CREATE));
  RECT client;
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  session_.then([&] { DestroyWindow(window_); });
  EXPECT_EQ(loop(), 7);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_NE(std::find(seen_.messages.begin(), seen_.messages.end(), WM_DESTROY), seen_.messages.end());
}

TEST_F(WindowTest, AnUnknownClassMakesNoWindow) {
  EXPECT_EQ(CreateWindowExW(0, L"NoSuchClass", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  WNDCLASSEXW twice{};
  twice.cbSize = sizeof twice;
  twice.lpfnWndProc = RecordingProc;
  twice.lpszClassName = kClass;
  EXPECT_EQ(RegisterClassExW(&twice), 0) << "a class name is registered once";
}

TEST_F(WindowTest, PaintComesOnlyWhenInvalidAndTheQueueIsEmpty) {
  std::vector<int> paints;
  session_
      .then([&] {
        paints.push_back(seen_.paints);  // hidden: never painted
        ShowWindow(window_, SW_SHOW);
      })
      .then([&] {
        paints.push_back(seen_.paints);  // painted once on showing
        PostMessageW(window_, WM_USER, 0, 0);
        InvalidateRect(window_, nullptr, TRUE);
        InvalidateRect(window_, nullptr, TRUE);
      })
      .then([&] {
        paints.push_back(seen_.paints);  // two invalidations, one paint, after the posted message
        MoveWindow(window_, 0, 0, 300, 120, TRUE);
      })
      .then([&] {
        paints.push_back(seen_.paints);  // resizing repaints
        DestroyWindow(window_);
      });
  EXPECT_EQ(loop(), 7);
  EXPECT_EQ(paints, (std::vector<int>{0, 1, 2, 3}));
  auto user = std::find(seen_.messages.begin(), seen_.messages.end(), WM_USER);
  ASSERT_NE(user, seen_.messages.end());
  EXPECT_NE(std::find(user, seen_.messages.end(), WM_PAINT), seen_.messages.end()) << "paint after posted input";
}

TEST_F(WindowTest, ErasingFillsTheClassBackgroundAndDrawTextCentres) {
  Ink text;
  Ink whole;
  session_.then([&] { ShowWindow(window_, SW_SHOW); }).then([&] {
    text = ink_in(window_, {0, 0, 200, 40});
    whole = ink_in(window_, {0, 40, 200, 100});
    DestroyWindow(window_);
  });
  loop();
  EXPECT_EQ(whole.count, 0) << "erased to white";
  EXPECT_GT(text.count, 20);
  EXPECT_NEAR((text.bounds.left + text.bounds.right) / 2.0, 100, 2);
  EXPECT_LT(text.bounds.top, 6) << "on the rectangle's first line";
}

TEST_F(WindowTest, WithoutInputTheLoopEndsAsExhausted) {
  ShowWindow(window_, SW_SHOW);
  EXPECT_EQ(loop(), VELMORA_INPUT_EXHAUSTED);
}

TEST_F(WindowTest, PaintingLeavesNoDeviceContextBehind) {
  session_.then([&] { ShowWindow(window_, SW_SHOW); }).then([&] {
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_MEMDC), 0u);
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_BITMAP), 1u) << "the backing store";
    DestroyWindow(window_);
  });
  loop();
  EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_BITMAP), 0u);
}

// GetOpenFileNameW with the fields the viewer sets.
class OpenFileTest : public ::testing::Test {
 protected:
  OpenFileTest() {
    ofn_.lStructSize = sizeof ofn_;
    ofn_.lpstrFilter = L"Metafile (*.wmf, *.emf)\0*.wmf;*.emf\0";
    ofn_.lpstrFile = file_;
    ofn_.nMaxFile = 256;
    ofn_.lpstrFileTitle = title_;
    ofn_.nMaxFileTitle = 40;
    ofn_.Flags = OFN_FILEMUSTEXIST;
    ofn_.lpstrDefExt = L"wmf";
  }

  ScopedWorkingDirectory folder_;
  HeadlessSession session_;
  OPENFILENAMEW ofn_{};
  wchar_t file_[260] = {};
  wchar_t title_[40] = {};
};

TEST_F(OpenFileTest, AnExistingAnswerFillsPathTitleAndOffsets) {
  const std::wstring path = folder_.write("picture.emf", {1});
  session_.answer_open({path});
  ASSERT_TRUE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(std::wstring(file_), path);
  EXPECT_EQ(std::wstring(title_), L"picture.emf");
  EXPECT_EQ(std::wstring(file_ + ofn_.nFileOffset), L"picture.emf");
  EXPECT_EQ(std::wstring(file_ + ofn_.nFileExtension), L"emf");
}

TEST_F(OpenFileTest, AMissingAnswerIsAskedAgain) {
  const std::wstring path = folder_.write("there.wmf", {1});
  session_.answer_open({folder_.path() + L"/absent.emf", path});
  ASSERT_TRUE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(session_.open_requests().size(), 2u);
  EXPECT_EQ(std::wstring(file_), path);
}

TEST_F(OpenFileTest, CancelFailsWithoutAnErrorAndTouchesNothing) {
  session_.answer_open({std::nullopt});
  file_[0] = L'k';
  EXPECT_FALSE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(file_[0], L'k');
}

// The longest path that fits nMaxFile (the null included) is taken; one
// character more is refused and neither buffer is written.
TEST_F(OpenFileTest, APathMustFitNMaxFile) {
  const std::wstring folder = folder_.path() + L"/";
  const std::size_t name_length = 256 - 1 - folder.size();
  const std::string fits(name_length - 4, 'a');
  const std::wstring fitting = folder_.write(fits + ".wmf", {1});
  ASSERT_EQ(fitting.size(), 255u);
  const std::wstring too_long = folder_.write(fits + "b.wmf", {1});
  ofn_.lpstrFileTitle = nullptr;  // the name alone is longer than the title buffer
  session_.answer_open({too_long});
  EXPECT_FALSE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  EXPECT_EQ(file_[0], L'\0');
  EXPECT_EQ(file_[259], L'\0');
  session_.answer_open({fitting});
  EXPECT_TRUE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(std::wstring(file_), fitting);
  EXPECT_EQ(file_[256], L'\0') << "nothing written past nMaxFile";
}

TEST_F(OpenFileTest, AFileTitleMustFitNMaxFileTitle) {
  const std::wstring path = folder_.write(std::string(40, 'n') + ".wmf", {1});
  session_.answer_open({path});
  EXPECT_FALSE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  EXPECT_EQ(file_[0], L'\0');
  EXPECT_EQ(title_[0], L'\0');
}

TEST_F(OpenFileTest, ANameWithoutExtensionGetsTheDefaultOne) {
  const std::wstring path = folder_.write("drawing.wmf", {1});
  session_.answer_open({path.substr(0, path.size() - 4)});
  ASSERT_TRUE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(std::wstring(file_), path);
}

TEST_F(OpenFileTest, AWrongRecordSizeIsRefused) {
  ofn_.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileNameW(&ofn_));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
  EXPECT_TRUE(session_.open_requests().empty());
}

}  // namespace
}  // namespace velmora::test
