#include "window/backing_store.h"

#include <algorithm>
#include <utility>

namespace velmora::window {
namespace {

// The largest side accepted; beyond any screen.
constexpr LONG kMaxSide = 16384;

// A COLORREF as the pixel that drawing writes: B, G, R and a zero alpha byte.
DWORD pixel_of(COLORREF color) {
  return static_cast<DWORD>(GetBValue(color)) | static_cast<DWORD>(GetGValue(color)) << 8 |
         static_cast<DWORD>(GetRValue(color)) << 16;
}

}  // namespace

BackingStore::BackingStore(BackingStore&& other) noexcept { *this = std::move(other); }

BackingStore& BackingStore::operator=(BackingStore&& other) noexcept {
  if (this != &other) {
    release();
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    pixels_ = std::exchange(other.pixels_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
  }
  return *this;
}

void BackingStore::resize(SIZE size) {
  release();
  if (size.cx <= 0 || size.cy <= 0 || size.cx > kMaxSide || size.cy > kMaxSide) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;  // top-down: row 0 is the top of the window
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_ || !bits) {
    release();
    return;
  }
  pixels_ = static_cast<DWORD*>(bits);
  width_ = size.cx;
  height_ = size.cy;
}

void BackingStore::release() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  pixels_ = nullptr;
  width_ = height_ = 0;
}

void BackingStore::fill(const RECT& rect, COLORREF color) {
  const LONG left = std::max<LONG>(rect.left, 0), right = std::min<LONG>(rect.right, width_);
  const LONG top = std::max<LONG>(rect.top, 0), bottom = std::min<LONG>(rect.bottom, height_);
  if (left >= right || !pixels_) return;
  const DWORD pixel = pixel_of(color);
  for (LONG y = top; y < bottom; ++y) std::fill(pixels_ + y * width_ + left, pixels_ + y * width_ + right, pixel);
}

void BackingStore::frame(const RECT& r, COLORREF color, int thickness) {
  fill({r.left, r.top, r.right, r.top + thickness}, color);
  fill({r.left, r.bottom - thickness, r.right, r.bottom}, color);
  fill({r.left, r.top, r.left + thickness, r.bottom}, color);
  fill({r.right - thickness, r.top, r.right, r.bottom}, color);
}

}  // namespace velmora::window
