// A small drawing target for the fuzz targets: a memory device context with
// a 32-bit DIB section selected, released when it goes out of scope.
#pragma once

#include <windows.h>

namespace velmora::fuzz {

class FuzzCanvas {
 public:
  static constexpr int kSide = 48;  // pixels: small, so each input runs fast

  FuzzCanvas() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~FuzzCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  FuzzCanvas(const FuzzCanvas&) = delete;
  FuzzCanvas& operator=(const FuzzCanvas&) = delete;

  HDC dc() const { return dc_; }
  RECT bounds() const { return {0, 0, kSide - 1, kSide - 1}; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace velmora::fuzz
