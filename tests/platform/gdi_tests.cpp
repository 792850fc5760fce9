// Device contexts, DIB sections, objects and AlphaBlend through the gdi32
// entry points.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

BITMAPINFO header_32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A memory context with a 32-bit DIB section selected; cleans up after itself.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  std::uint32_t* pixels = nullptr;
  int width, height;

  Canvas(int w, int h, bool bottom_up = true) : width(w), height(h) {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = header_32(w, bottom_up ? h : -h);
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<std::uint32_t*>(bits);
    previous = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  void fill(std::uint32_t value) {
    for (int i = 0; i < width * height; ++i) pixels[i] = value;
  }
};

TEST(DeviceContext, CreateSelectAndDeleteBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  BITMAPINFO info = header_32(7, 3);
  void* bits = reinterpret_cast<void*>(1);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(static_cast<std::uint8_t*>(bits)[0], 0);  // memory starts zeroed

  HGDIOBJ previous = SelectObject(dc, bitmap);
  ASSERT_NE(previous, nullptr);  // the context's default 1x1 bitmap
  EXPECT_EQ(GetObjectType(previous), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_FALSE(DeleteObject(bitmap));  // still selected
  EXPECT_EQ(SelectObject(dc, previous), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
}

// A large bitmap's memory is kept when it is deleted and handed to the next
// bitmap of its size, zeroed again, as every new DIB section is.
TEST(DeviceContext, LargeBitmapMemoryComesBackZeroed) {
  const int side = 1024;  // 4 MiB of pixels
  std::uint32_t* first = nullptr;
  {
    Canvas canvas(side, side);
    ASSERT_NE(canvas.pixels, nullptr);
    canvas.fill(0xDEADBEEF);
    first = canvas.pixels;
  }
  Canvas again(side, side);
  ASSERT_NE(again.pixels, nullptr);
  EXPECT_EQ(again.pixels, first);
  for (int i = 0; i < side * side; i += 4099) ASSERT_EQ(again.pixels[i], 0u) << i;
  EXPECT_EQ(again.pixels[side * side - 1], 0u);
}

TEST(DeviceContext, GetObjectDescribesBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = header_32(5, -4);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  BITMAP bm{};
  EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  ASSERT_EQ(GetObjectW(bitmap, sizeof(bm), &bm), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bm.bmWidth, 5);
  EXPECT_EQ(bm.bmHeight, 4);
  EXPECT_EQ(bm.bmWidthBytes, 20);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmBits, bits);
  EXPECT_EQ(GetObjectW(bitmap, sizeof(bm) - 1, &bm), 0);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(DeviceContext, RefusesUnusableBitmapHeaders) {
  void* bits = reinterpret_cast<void*>(1);
  BITMAPINFO huge = header_32(1 << 20, 1 << 20);
  EXPECT_EQ(CreateDIBSection(nullptr, &huge, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  BITMAPINFO zero = header_32(0, 10);
  EXPECT_EQ(CreateDIBSection(nullptr, &zero, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  BITMAPINFO odd = header_32(4, 4);
  odd.bmiHeader.biBitCount = 7;
  EXPECT_EQ(CreateDIBSection(nullptr, &odd, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(StockObjects, HaveKindsAndSurviveDeletion) {
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_PALETTE)), static_cast<DWORD>(OBJ_PAL));
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  HGDIOBJ black = GetStockObject(BLACK_BRUSH);
  EXPECT_TRUE(DeleteObject(black));
  EXPECT_EQ(GetObjectType(black), static_cast<DWORD>(OBJ_BRUSH));
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectW(black, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, RGB(0, 0, 0));
}

TEST(StockObjects, SelectingReturnsThePreviousOfEachKind) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), GetStockObject(NULL_PEN));
  EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x1234)), nullptr);
  DeleteDC(dc);
}

BLENDFUNCTION per_pixel(BYTE constant = 255) { return BLENDFUNCTION{AC_SRC_OVER, 0, constant, AC_SRC_ALPHA}; }

TEST(AlphaBlend, KeepsWhereSourceIsClearAndReplacesWhereOpaque) {
  Canvas src(3, 1), dst(3, 1);
  dst.fill(0x80102030);
  src.pixels[0] = 0x00FFFFFF;  // alpha 0 (even with stray colour): destination kept
  src.pixels[1] = 0xFF405060;  // alpha 255: replaced
  src.pixels[2] = 0x80400000;  // half: premultiplied mix
  ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, 3, 1, per_pixel()));
  EXPECT_EQ(dst.pixels[0], 0x80102030u);
  EXPECT_EQ(dst.pixels[1], 0xFF405060u);
  // Each channel: src + dst * (255 - 128) / 255.
  EXPECT_EQ(dst.pixels[2], 0xC0481018u);
}

TEST(AlphaBlend, ConstantAlphaScalesThePremultipliedSource) {
  Canvas src(1, 1), dst(1, 1);
  dst.fill(0x00000000);
  src.pixels[0] = 0xFFFF0000;
  ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, per_pixel(51)));
  EXPECT_EQ(dst.pixels[0], 0x33330000u);
  BLENDFUNCTION constant_only{AC_SRC_OVER, 0, 0, 0};
  ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, constant_only));
  EXPECT_EQ(dst.pixels[0], 0x33330000u);
}

TEST(AlphaBlend, ClipsToBothSurfacesAndStretches) {
  Canvas src(2, 2, false), dst(4, 4, false);  // top-down: pixels[y * w + x]
  dst.fill(0);
  src.pixels[0] = 0xFF000001;
  src.pixels[1] = 0xFF000002;
  src.pixels[2] = 0xFF000003;
  src.pixels[3] = 0xFF000004;
  // Doubled onto (2,2)..(6,6): only the top-left quarter of the result fits.
  ASSERT_TRUE(AlphaBlend(dst.dc, 2, 2, 4, 4, src.dc, 0, 0, 2, 2, per_pixel()));
  EXPECT_EQ(dst.pixels[2 * 4 + 2], 0xFF000001u);
  EXPECT_EQ(dst.pixels[3 * 4 + 3], 0xFF000001u);
  EXPECT_EQ(dst.pixels[1 * 4 + 1], 0u);
  // A source rectangle reaching past the source is clipped, not refused.
  dst.fill(0);
  ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 3, 1, src.dc, 1, 0, 3, 1, per_pixel()));
  EXPECT_EQ(dst.pixels[0], 0xFF000002u);
  EXPECT_EQ(dst.pixels[1], 0u);
  EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, -1, 1, src.dc, 0, 0, 1, 1, per_pixel()));
  EXPECT_FALSE(AlphaBlend(nullptr, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, per_pixel()));
}

TEST(AlphaBlend, BottomUpRowsAreDeviceRowsFromTheTop) {
  Canvas src(1, 2, true), dst(1, 2, false);
  dst.fill(0);
  src.pixels[0] = 0xFF0000AA;  // memory row 0 of a bottom-up bitmap is the bottom row
  src.pixels[1] = 0xFF0000BB;
  ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 2, src.dc, 0, 0, 1, 2, per_pixel()));
  EXPECT_EQ(dst.pixels[0], 0xFF0000BBu);
  EXPECT_EQ(dst.pixels[1], 0xFF0000AAu);
}

}  // namespace
