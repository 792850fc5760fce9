// A bitmap handle: a DIB section whose pixel memory the platform owns and
// the caller may write through the pointer CreateDIBSection returns. Only
// 32-bit bitmaps are drawn on; other depths are held for their bits.
#pragma once

#include "common/limits.h"
#include "gdi/object.h"
#include "gdi/pixel_memory.h"
#include "raster/surface.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace velmora::platform {

class Bitmap : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Bitmap;
  static constexpr auto kMaxBytes = limits::kMaxBitmapBytes;  // see common/limits.h
  static constexpr auto kMaxDimension = limits::kMaxBitmapSide;  // see common/limits.h

  // Null when the size is absurd or the memory cannot be had.
  static std::unique_ptr<Bitmap> create(int width, int height, int bits_per_pixel, bool bottom_up);

  int width() const { return width_; }
  int height() const { return height_; }
  int bits_per_pixel() const { return bits_per_pixel_; }
  bool bottom_up() const { return bottom_up_; }
  std::size_t stride() const { return stride_; }  // bytes per memory row, a multiple of 4
  std::uint8_t* bits() const { return bits_.get(); }
  // A top-down view of the pixels for 32-bit bitmaps; empty for other depths.
  Surface surface() const;

  // How many device contexts have this bitmap selected; a selected bitmap
  // cannot be deleted or selected into a second context. The stock bitmap,
  // which every new memory context holds, is not counted: it is shared by
  // contexts on every thread and can be neither deleted nor taken.
  int selections() const { return selections_.load(std::memory_order_relaxed); }
  void add_selection() {
    if (!is_stock()) selections_.fetch_add(1, std::memory_order_relaxed);
  }
  void remove_selection() {
    if (!is_stock()) selections_.fetch_sub(1, std::memory_order_relaxed);
  }

  BITMAP describe() const;

 private:
  // Zeroed pixel memory (gdi/pixel_memory.h), given back when it goes.
  struct GiveBack {
    std::size_t size = 0;
    void operator()(std::uint8_t* p) const { give_back_pixel_memory(p, size); }
  };
  using PixelMemory = std::unique_ptr<std::uint8_t[], GiveBack>;

  Bitmap(int width, int height, int bits_per_pixel, bool bottom_up, std::size_t stride, PixelMemory bits);

  int width_;
  int height_;
  int bits_per_pixel_;
  bool bottom_up_;
  std::size_t stride_;
  PixelMemory bits_;
  std::atomic<int> selections_{0};
};

// The 1x1 monochrome bitmap every new memory context starts with.
HBITMAP default_bitmap();

}  // namespace velmora::platform
