// LoadDocument: each load replaces the picture and its aspect ratio, a
// failed one leaves no picture, and the file is read without sharing.
#include "document.h"
#include "viewer/viewer_pictures.h"
#include "window/headless_session.h"

#include <platform_diagnostics.h>
#include <velmora.h>

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using viewer::document;
using viewer::LoadDocument;

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    viewer::ReleaseDocumentPicture();
    document() = viewer::Document{};
  }

  void load(const std::wstring& path) {
    wcsncpy(document().file_name, path.c_str(), viewer::kFileNameChars - 1);
    LoadDocument();
  }

  ScopedWorkingDirectory folder_;
};

TEST_F(DocumentTest, LoadsTigerFromTheWorkingDirectory) {
  folder_.write("tiger.emf", tiger_emf());
  LoadDocument();
  EXPECT_NE(document().picture, nullptr);
  EXPECT_GT(document().aspect, 0.5f);
  EXPECT_LT(document().aspect, 2.0f);
}

TEST_F(DocumentTest, EachKindInTurnReplacesPictureAndAspect) {
  const std::wstring placeable = folder_.write("a.wmf", solid_placeable_wmf(300, 100));
  const std::wstring emf = folder_.write("b.emf", solid_emf(100, 400));
  const std::wstring plain = folder_.write("c.wmf", solid_plain_wmf(200, 100));
  HENHMETAFILE previous = nullptr;
  const std::pair<std::wstring, float> files[] = {{placeable, 3.0f}, {emf, 0.25f}, {plain, -1.0f}};
  for (const auto& [path, aspect] : files) {
    load(path);
    ASSERT_NE(document().picture, nullptr);
    EXPECT_NE(document().picture, previous);
    if (aspect > 0) {
      EXPECT_FLOAT_EQ(document().aspect, aspect);
    }
    if (previous) {
      EXPECT_EQ(GetObjectType(previous), 0u) << "the previous picture is deleted";
    }
    EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE), 1u);
    previous = document().picture;
  }
  // A plain WMF's ratio comes from its converted header: wider than tall.
  EXPECT_GT(document().aspect, 1.0f);
}

TEST_F(DocumentTest, AFileThatCannotBeReadAfterAGoodOneLeavesNoPicture) {
  load(folder_.write("good.emf", solid_emf(200, 100)));
  ASSERT_NE(document().picture, nullptr);
  load(folder_.path() + L"/missing.emf");
  EXPECT_EQ(document().picture, nullptr);
  EXPECT_FLOAT_EQ(document().aspect, 2.0f) << "the ratio stays as it was";
  EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE), 0u);
}

TEST_F(DocumentTest, DataNobodyAcceptsGivesNoPicture) {
  load(folder_.write("empty.emf", {}));
  EXPECT_EQ(document().picture, nullptr);
  load(folder_.write("noise.wmf", {1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(document().picture, nullptr);
  load(folder_.path());  // a folder is not a file to read
  EXPECT_EQ(document().picture, nullptr);
}

TEST_F(DocumentTest, AFileHeldOpenForReadingCannotBeLoadedButTheLibraryStillDrawsIt) {
  const std::wstring path = folder_.write("held.emf", solid_emf(100, 100));
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  load(path);
  EXPECT_EQ(document().picture, nullptr);

  // The library opens with shared reading and draws the file regardless.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 64, 64, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT target{0, 0, 63, 63};
  EXPECT_EQ(VelmoraFileW(dc, path.c_str(), &target, 255, true, 0.0), 1);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);

  CloseHandle(held);
  load(path);
  EXPECT_NE(document().picture, nullptr) << "once the file is closed it loads";
}

}  // namespace
}  // namespace velmora::test
