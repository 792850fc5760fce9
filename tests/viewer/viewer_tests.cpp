// The viewer driven through the headless window back end: its start, the
// repaint of both panes and the title, the commands, and its end.
#include "document.h"
#include "panes.h"
#include "resource.h"
#include "viewer.h"
#include "viewer/viewer_pictures.h"
#include "window/headless_session.h"

#include <platform_diagnostics.h>
#include <velmora.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace velmora::test {
namespace {

using viewer::document;
using viewer::viewer_state;

constexpr LONG kWidth = 801;
constexpr LONG kHeight = 630;

HWND main_window() { return viewer_state().main_window; }

// The viewer's document as at process start.
void reset_document() {
  viewer::ReleaseDocumentPicture();
  document() = viewer::Document{};
}

int run_viewer() {
  wchar_t command_line[] = L"";
  return wWinMain(GetModuleHandleW(nullptr), nullptr, command_line, SW_SHOWDEFAULT);
}

void exit_command() { PostMessageW(main_window(), WM_COMMAND, CMD_EXIT, 0); }

void resize(LONG width, LONG height) { MoveWindow(main_window(), 0, 0, width, height, TRUE); }

bool titled_with_time(const std::wstring& title, const std::wstring& name) {
  const std::wregex pattern(L"(.*) \\[-?[0-9]+ ms\\]");
  std::wsmatch m;
  return std::regex_match(title, m, pattern) && m[1].str() == name;
}

// The pane areas below the labels, and the label lines.
RECT left_picture_area() { return {0, 30, kWidth / 2, kHeight}; }
RECT right_picture_area() { return {kWidth / 2 + 1, 30, kWidth, kHeight}; }
RECT left_label_area() { return {0, 0, kWidth / 2, 30}; }
RECT right_label_area() { return {kWidth / 2 + 1, 0, kWidth, 30}; }

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_document(); }
  void TearDown() override { reset_document(); }

  // Starts the viewer with `steps` after the first paint at 801 x 630, then
  // exits through the Exit command; returns the exit code.
  int run(const std::vector<std::function<void()>>& steps) {
    session_.then([] { resize(kWidth, kHeight); });
    for (const auto& step : steps) session_.then(step);
    session_.then(exit_command);
    return run_viewer();
  }

  ScopedWorkingDirectory folder_;
  HeadlessSession session_;
};

TEST(ViewerPanes, HalveTheClientAreaWithAGapPixel) {
  const RECT client{0, 0, 801, 630};
  const RECT left = viewer::LeftPane(client), right = viewer::RightPane(client);
  EXPECT_EQ(left.left, 0);
  EXPECT_EQ(left.right, 400);
  EXPECT_EQ(right.left, 401);
  EXPECT_EQ(right.right, 801);
  EXPECT_EQ(left.bottom, 630);
  EXPECT_EQ(viewer::BelowLabel(left).top, 30);
  EXPECT_EQ(viewer::BelowLabel(right).top, 30);
}

TEST_F(ViewerTest, StartsWithTigerDrawnInBothPanesAndTimedInTheTitle) {
  folder_.write("tiger.emf", tiger_emf());
  std::wstring title;
  Ink left, right;
  bool had_picture = false;
  EXPECT_EQ(run({[&] {
              title = title_of(main_window());
              left = ink_in(main_window(), left_picture_area());
              right = ink_in(main_window(), right_picture_area());
              had_picture = document().picture != nullptr;
            }}),
            0);
  EXPECT_TRUE(had_picture);
  EXPECT_TRUE(titled_with_time(title, L"tiger.emf")) << std::string(title.begin(), title.end());
  EXPECT_GT(left.count, 10000);
  EXPECT_GT(right.count, 10000);
  EXPECT_LT(left.bounds.right, kWidth / 2 + 1);
  EXPECT_GE(right.bounds.left, kWidth / 2 + 1);
}

TEST_F(ViewerTest, LoadsItsStringsForTheTitleAndTheClassName) {
  folder_.write("tiger.emf", tiger_emf());
  EXPECT_EQ(run({}), 0);
  EXPECT_EQ(std::wstring(viewer_state().title), L"VelmoraTest");
  EXPECT_EQ(std::wstring(viewer_state().window_class), L"VelmoraTest");
}

// A picture of the given aspect ratio fills the fitted left pane and
// nothing below or beside it.
void expect_left_picture(float width_mm, float height_mm, RECT expected) {
  ScopedWorkingDirectory folder;
  folder.write("tiger.emf", solid_emf(static_cast<int>(width_mm), static_cast<int>(height_mm)));
  HeadlessSession session;
  Ink ink;
  float aspect = 0;
  session.then([] { resize(kWidth, kHeight); })
      .then([&] {
        ink = ink_in(main_window(), left_picture_area());
        aspect = document().aspect;
      })
      .then(exit_command);
  reset_document();
  EXPECT_EQ(run_viewer(), 0);
  EXPECT_FLOAT_EQ(aspect, width_mm / height_mm);
  EXPECT_EQ(ink.bounds.left, expected.left);
  EXPECT_EQ(ink.bounds.top, expected.top);
  // The fitted rectangle's right and bottom are drawn up to one pixel short.
  EXPECT_NEAR(ink.bounds.right, expected.right, 1);
  EXPECT_NEAR(ink.bounds.bottom, expected.bottom, 1);
  reset_document();
}

TEST(ViewerLeftPane, WidePictureKeepsThePaneWidth) { expect_left_picture(200, 100, {0, 30, 400, 230}); }

TEST(ViewerLeftPane, TallPictureKeepsThePaneHeight) { expect_left_picture(100, 200, {0, 30, 300, 630}); }

TEST_F(ViewerTest, LeftAndRightClicksRepaintAndRetitle) {
  folder_.write("tiger.emf", tiger_emf());
  std::wstring after_left, after_right;
  const auto mark = [] { SetWindowTextW(main_window(), L"before"); };
  EXPECT_EQ(run({mark, [] { PostMessageW(main_window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(500, 300)); },
                 [&] { after_left = title_of(main_window()); }, mark,
                 [] { PostMessageW(main_window(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELONG(10, 10)); },
                 [&] { after_right = title_of(main_window()); }}),
            0);
  EXPECT_TRUE(titled_with_time(after_left, L"tiger.emf"));
  EXPECT_TRUE(titled_with_time(after_right, L"tiger.emf"));
}

TEST_F(ViewerTest, ConfirmedOpenReplacesThePictureAndShowsThePath) {
  folder_.write("tiger.emf", tiger_emf());
  const std::wstring other = folder_.write("wide.emf", solid_emf(200, 100));
  session_.answer_open({other});
  HENHMETAFILE first = nullptr, second = nullptr;
  std::wstring title;
  size_t pictures_alive = 0;
  float aspect = 0;
  EXPECT_EQ(run({[&] { first = document().picture; }, [] { PostMessageW(main_window(), WM_COMMAND, CMD_OPEN, 0); },
                 [&] {
                   second = document().picture;
                   aspect = document().aspect;
                   title = title_of(main_window());
                   pictures_alive = VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE);
                 }}),
            0);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(GetObjectType(first), 0u) << "the old picture is deleted";
  EXPECT_EQ(pictures_alive, 1u);
  EXPECT_FLOAT_EQ(aspect, 2.0f);
  EXPECT_TRUE(titled_with_time(title, other));
  EXPECT_EQ(std::wstring(document().file_name), other);
}

TEST_F(ViewerTest, OpenAsksWithTheViewersFieldsAndTakesWhatTheDialogReturns) {
  folder_.write("tiger.emf", tiger_emf());
  const std::wstring other = folder_.write("picture.wmf", solid_placeable_wmf(200, 100));
  // Typed without an extension: the default one is added.
  session_.answer_open({other.substr(0, other.size() - 4)});
  EXPECT_EQ(run({[] { PostMessageW(main_window(), WM_COMMAND, CMD_OPEN, 0); }}), 0);
  ASSERT_EQ(session_.open_requests().size(), 1u);
  const OPENFILENAMEW& r = session_.open_requests()[0];
  EXPECT_EQ(r.nMaxFile, 256u);
  EXPECT_EQ(r.nMaxFileTitle, 40u);
  EXPECT_EQ(r.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));
  EXPECT_EQ(std::wstring(r.lpstrTitle), L"Metafile(WMF, EMF) open");
  EXPECT_EQ(std::wstring(r.lpstrDefExt), L"wmf");
  EXPECT_EQ(std::wstring(r.lpstrFilter), L"Metafile (*.wmf, *.emf)");
  EXPECT_EQ(std::wstring(r.lpstrFilter + 24), L"*.wmf;*.emf");
  EXPECT_EQ(r.lpstrFilter[24 + 12], L'\0');
  EXPECT_EQ(r.hwndOwner, main_window());
  EXPECT_EQ(std::wstring(document().file_name), other);
}

TEST_F(ViewerTest, OpeningEachKindInTurnReplacesThePictureEveryTime) {
  folder_.write("tiger.emf", tiger_emf());
  const std::wstring placeable = folder_.write("a.wmf", solid_placeable_wmf(300, 100));
  const std::wstring emf = folder_.write("b.emf", solid_emf(100, 400));
  const std::wstring plain = folder_.write("c.wmf", solid_plain_wmf(200, 100));
  session_.answer_open({placeable, emf, plain});
  struct After {
    HENHMETAFILE picture;
    float aspect;
    std::wstring title;
    size_t pictures_alive;
  };
  std::vector<After> after;
  std::vector<HENHMETAFILE> before;
  std::vector<std::function<void()>> steps;
  for (int i = 0; i < 3; ++i) {
    steps.push_back([&] {
      before.push_back(document().picture);
      PostMessageW(main_window(), WM_COMMAND, CMD_OPEN, 0);
    });
    steps.push_back([&] {
      after.push_back({document().picture, document().aspect, title_of(main_window()),
                       VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE)});
    });
  }
  EXPECT_EQ(run(steps), 0);
  ASSERT_EQ(after.size(), 3u);
  const std::wstring paths[] = {placeable, emf, plain};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(after[i].picture, nullptr);
    EXPECT_NE(after[i].picture, before[i]);
    EXPECT_EQ(GetObjectType(before[i]), 0u) << "the previous picture is deleted";
    EXPECT_EQ(after[i].pictures_alive, 1u);
    EXPECT_TRUE(titled_with_time(after[i].title, paths[i]));
  }
  EXPECT_FLOAT_EQ(after[0].aspect, 3.0f);
  EXPECT_FLOAT_EQ(after[1].aspect, 0.25f);
  EXPECT_GT(after[2].aspect, 1.0f);
}

TEST_F(ViewerTest, CancelledOpenChangesNothingAndDoesNotRepaint) {
  folder_.write("tiger.emf", tiger_emf());
  session_.answer_open({std::nullopt});
  HENHMETAFILE before = nullptr, after = nullptr;
  std::wstring title;
  EXPECT_EQ(run({[&] {
                   before = document().picture;
                   SetWindowTextW(main_window(), L"unchanged");
                 },
                 [] { PostMessageW(main_window(), WM_COMMAND, CMD_OPEN, 0); },
                 [&] {
                   after = document().picture;
                   title = title_of(main_window());
                 }}),
            0);
  EXPECT_EQ(session_.open_requests().size(), 1u);
  EXPECT_NE(before, nullptr);
  EXPECT_EQ(after, before);
  EXPECT_EQ(title, L"unchanged");
  EXPECT_EQ(std::wstring(document().file_name), L"tiger.emf");
}

TEST_F(ViewerTest, MissingTigerLeavesOnlyTheLabelsAndStillTimesTheCall) {
  std::wstring title;
  Ink left, right, left_label, right_label;
  EXPECT_EQ(run({[&] {
              title = title_of(main_window());
              left = ink_in(main_window(), left_picture_area());
              right = ink_in(main_window(), right_picture_area());
              left_label = ink_in(main_window(), left_label_area());
              right_label = ink_in(main_window(), right_label_area());
            }}),
            0);
  EXPECT_EQ(document().picture, nullptr);
  EXPECT_TRUE(titled_with_time(title, L"tiger.emf"));
  EXPECT_EQ(left.count, 0);
  EXPECT_EQ(right.count, 0);
  EXPECT_GT(left_label.count, 20);
  EXPECT_GT(right_label.count, 20);
  // Each label is centred on its pane's first line.
  EXPECT_NEAR((left_label.bounds.left + left_label.bounds.right) / 2, 200, 3);
  EXPECT_NEAR((right_label.bounds.left + right_label.bounds.right) / 2, 601, 3);
}

TEST_F(ViewerTest, ClientLowerThanTheLabelLineDrawsLabelsOnlyAndKeepsRunning) {
  folder_.write("tiger.emf", tiger_emf());
  std::wstring title;
  Ink below_labels;
  EXPECT_EQ(run({[] { resize(kWidth, 20); }, [] { resize(kWidth, 0); }, [] { resize(kWidth, 20); },
                 [&] {
                   title = title_of(main_window());
                   below_labels = ink_in(main_window(), {0, 20, kWidth, 30});
                 }}),
            0);
  EXPECT_TRUE(titled_with_time(title, L"tiger.emf"));
  EXPECT_EQ(below_labels.count, 0);
}

TEST_F(ViewerTest, DestroyPostsQuitWithZeroAndReleasesEverything) {
  folder_.write("tiger.emf", tiger_emf());
  const size_t windows_before = VelmoraWindowLiveObjects();
  EXPECT_EQ(run({}), 0);
  EXPECT_EQ(document().picture, nullptr);
  EXPECT_FALSE(IsWindow(main_window()));
  // Only the accelerator table stays: the program never destroys it, and
  // it lives to the end of the process.
  EXPECT_EQ(VelmoraWindowLiveObjects(), windows_before + 1);
  for (DWORD type : {OBJ_MEMDC, OBJ_BITMAP, OBJ_ENHMETAFILE, OBJ_FONT, OBJ_BRUSH, OBJ_PEN, OBJ_REGION})
    EXPECT_EQ(VelmoraPlatformLiveObjects(type), 0u) << "object type " << type;
}

TEST_F(ViewerTest, ClosingTheWindowEndsTheProgramLikeExit) {
  folder_.write("tiger.emf", tiger_emf());
  session_.then([] { PostMessageW(main_window(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(run_viewer(), 0);
  EXPECT_EQ(document().picture, nullptr);
}

TEST_F(ViewerTest, ResizingRepaintsTheWholeWindow) {
  folder_.write("tiger.emf", tiger_emf());
  Ink right;
  std::wstring title;
  EXPECT_EQ(run({[] { SetWindowTextW(main_window(), L"before"); }, [] { resize(1201, 630); },
                 [&] {
                   title = title_of(main_window());
                   right = ink_in(main_window(), {601, 30, 1201, 630});
                 }}),
            0);
  EXPECT_TRUE(titled_with_time(title, L"tiger.emf"));
  EXPECT_GT(right.count, 10000);
}

}  // namespace
}  // namespace velmora::test
