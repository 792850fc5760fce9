// The About box: opened by either accelerator or the menu command, built
// from its template at its dialog-unit places, ended by OK, Enter, Esc and
// the close box, and modal over the main window.
#include "document.h"
#include "resource.h"
#include "viewer.h"
#include "viewer/viewer_pictures.h"
#include "window/headless_session.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::test {
namespace {

using viewer::viewer_state;

HWND main_window() { return viewer_state().main_window; }

int dark_pixels(HWND window, const RECT& r) {
  const DWORD* pixels = nullptr;
  int width = 0, height = 0, count = 0;
  if (!VelmoraWindowPixels(window, &pixels, &width, &height)) return 0;
  for (LONG y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, height); ++y)
    for (LONG x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, width); ++x)
      if ((pixels[y * width + x] & 0xFF) < 0x80) ++count;
  return count;
}

struct AboutSeen {
  HWND dialog = nullptr;
  std::wstring caption;
  std::vector<std::wstring> texts;
  std::vector<RECT> places;
  RECT client{};
  DWORD corner = 0;            // a pixel of the dialog's face
  int dark_in_first_line = 0;  // text pixels in the first static's place
  bool closed_after = false;
};

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_.write("tiger.emf", tiger_emf()); }
  void TearDown() override {
    viewer::ReleaseDocumentPicture();
    viewer::document() = viewer::Document{};
  }

  // Opens the box with `open`, looks at it, ends it with `end`, then exits.
  int run(const std::function<void()>& open, const std::function<void(HWND)>& end) {
    session_.then(open)
        .then([&] {
          seen_.dialog = GetActiveWindow();
          if (seen_.dialog == main_window()) return;
          seen_.caption = title_of(seen_.dialog);
          GetClientRect(seen_.dialog, &seen_.client);
          const DWORD* pixels = nullptr;
          int width = 0, height = 0;
          if (VelmoraWindowPixels(seen_.dialog, &pixels, &width, &height))
            seen_.corner = pixels[2 * width + 2] & 0xFFFFFF;
          for (HWND c = GetWindow(seen_.dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            seen_.texts.push_back(title_of(c));
            RECT r;
            GetWindowRect(c, &r);
            seen_.places.push_back(r);
          }
          seen_.dark_in_first_line = dark_pixels(seen_.dialog, seen_.places.empty() ? RECT{} : seen_.places[0]);
        })
        .then([&] { end(seen_.dialog); })
        .then([&] {
          seen_.closed_after = !IsWindow(seen_.dialog) && GetActiveWindow() == main_window();
          PostMessageW(main_window(), WM_COMMAND, CMD_EXIT, 0);
        });
    wchar_t command_line[] = L"";
    return wWinMain(GetModuleHandleW(nullptr), nullptr, command_line, SW_SHOWDEFAULT);
  }

  static void alt_char(wchar_t c) { PostMessageW(main_window(), WM_SYSCHAR, c, 1 << 29); }

  ScopedWorkingDirectory folder_;
  HeadlessSession session_;
  AboutSeen seen_;
};

TEST_F(AboutTest, AltQuestionMarkOpensTheBoxBuiltFromItsTemplate) {
  EXPECT_EQ(run([] { alt_char(L'?'); }, [](HWND d) { PostMessageW(d, WM_KEYDOWN, VK_RETURN, 0); }), 0);
  ASSERT_NE(seen_.dialog, main_window());
  EXPECT_EQ(seen_.caption, L"About VelmoraTest");
  ASSERT_EQ(seen_.texts.size(), 4u);
  EXPECT_EQ(seen_.texts[0], L"Velmora (https://velmora.example.org)");
  EXPECT_EQ(seen_.texts[1], L"High Quality Windows Metafile (WMF, EMF) Rasterizer Library");
  EXPECT_EQ(seen_.texts[2], L"OK");
  EXPECT_EQ(seen_.texts[3], L"E-mail: velmora@example.org");
  // Dialog units to pixels: x by base_x / 4, y by base_y / 8, the same for
  // the box and every control.
  const double ux = seen_.client.right / 228.0, uy = seen_.client.bottom / 63.0;
  EXPECT_GT(ux, 1.0);
  EXPECT_GT(uy, 1.0);
  const RECT ok = seen_.places[2];
  EXPECT_NEAR(ok.left, 171 * ux, 1.0);
  EXPECT_NEAR(ok.top, 42 * uy, 1.0);
  EXPECT_NEAR(ok.right - ok.left, 50 * ux, 1.0);
  EXPECT_NEAR(ok.bottom - ok.top, 14 * uy, 1.0);
  EXPECT_NEAR(seen_.places[3].top, 30 * uy, 1.0);
  EXPECT_EQ(seen_.corner, 0xF0F0F0u) << "the dialog face";
  EXPECT_GT(seen_.dark_in_first_line, 30) << "the first line's text";
  EXPECT_TRUE(seen_.closed_after);
}

TEST_F(AboutTest, AltSlashOpensItAndEscEndsIt) {
  EXPECT_EQ(run([] { alt_char(L'/'); }, [](HWND d) { PostMessageW(d, WM_KEYDOWN, VK_ESCAPE, 0); }), 0);
  EXPECT_NE(seen_.dialog, main_window());
  EXPECT_TRUE(seen_.closed_after);
}

TEST_F(AboutTest, TheCloseBoxEndsIt) {
  EXPECT_EQ(run([] { PostMessageW(main_window(), WM_COMMAND, CMD_ABOUT, 0); },
                [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }),
            0);
  EXPECT_NE(seen_.dialog, main_window());
  EXPECT_TRUE(seen_.closed_after);
}

TEST_F(AboutTest, ClickingOkEndsItButAClickBesideItDoesNot) {
  bool open_after_miss = false;
  EXPECT_EQ(run([] { alt_char(L'?'); },
                [&](HWND d) {
                  HWND ok = GetDlgItem(d, IDOK);
                  RECT r;
                  GetWindowRect(ok, &r);
                  // Pressed on OK but released beside it: no command.
                  PostMessageW(d, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(r.left + 3, r.top + 3));
                  PostMessageW(d, WM_LBUTTONUP, 0, MAKELONG(2, 2));
                  session_.next([&, d, r] {
                    open_after_miss = IsWindow(d);
                    PostMessageW(d, WM_LBUTTONDOWN, MK_LBUTTON,
                                 MAKELONG((r.left + r.right) / 2, (r.top + r.bottom) / 2));
                    PostMessageW(d, WM_LBUTTONUP, 0, MAKELONG((r.left + r.right) / 2, (r.top + r.bottom) / 2));
                  });
                }),
            0);
  EXPECT_TRUE(open_after_miss);
}

TEST_F(AboutTest, TheMainWindowTakesNoClicksWhileTheBoxIsOpen) {
  std::wstring title;
  EXPECT_EQ(run([] { alt_char(L'?'); },
                [&](HWND d) {
                  SetWindowTextW(main_window(), L"before");
                  PostMessageW(main_window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(10, 10));
                  session_.next([&, d] {
                    title = title_of(main_window());
                    PostMessageW(d, WM_KEYDOWN, VK_RETURN, 0);
                  });
                }),
            0);
  EXPECT_EQ(title, L"before");
}

TEST_F(AboutTest, PlainQuestionMarkWithoutAltIsNoAccelerator) {
  EXPECT_EQ(run([] { PostMessageW(main_window(), WM_CHAR, L'?', 0); }, [](HWND) {}), 0);
  EXPECT_EQ(seen_.dialog, main_window());
}

}  // namespace
}  // namespace velmora::test
