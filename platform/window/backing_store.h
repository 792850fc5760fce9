// The pixels of a top-level window: a top-down 32-bit DIB section of the
// platform, so that the painting device context is an ordinary memory
// context and every drawing call of the platform draws into it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace velmora::window {

class BackingStore {
 public:
  BackingStore() = default;
  ~BackingStore() { release(); }
  BackingStore(BackingStore&& other) noexcept;
  BackingStore& operator=(BackingStore&& other) noexcept;
  BackingStore(const BackingStore&) = delete;
  BackingStore& operator=(const BackingStore&) = delete;

  // A new store of the size (its pixels undefined until painted); empty for
  // a size without pixels or when the memory cannot be had.
  void resize(SIZE size);
  void release();

  bool empty() const { return bitmap_ == nullptr; }
  HBITMAP bitmap() const { return bitmap_; }
  DWORD* pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Fills a rectangle (clipped to the store) with a colour, as a brush would.
  void fill(const RECT& rect, COLORREF color);
  // A frame of the given thickness just inside the rectangle.
  void frame(const RECT& rect, COLORREF color, int thickness);

 private:
  HBITMAP bitmap_ = nullptr;
  DWORD* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace velmora::window
