#include "gdi/bitmap.h"

#include <mutex>
#include <new>

namespace velmora::platform {

Bitmap::Bitmap(int width, int height, int bits_per_pixel, bool bottom_up, std::size_t stride,
               PixelMemory bits)
    : GdiObject(kKind),
      width_(width),
      height_(height),
      bits_per_pixel_(bits_per_pixel),
      bottom_up_(bottom_up),
      stride_(stride),
      bits_(std::move(bits)) {}

std::unique_ptr<Bitmap> Bitmap::create(int width, int height, int bits_per_pixel, bool bottom_up) {
  switch (bits_per_pixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return nullptr;
  }
  if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return nullptr;
  // Rows are padded to whole DWORDs, as DIB rows are.
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits_per_pixel + 31) / 32) * 4;
  if (stride > kMaxBytes / static_cast<std::size_t>(height)) return nullptr;
  const std::size_t size = stride * static_cast<std::size_t>(height);
  PixelMemory bits(take_pixel_memory(size), GiveBack{size});
  if (!bits) return nullptr;
  return std::unique_ptr<Bitmap>(new Bitmap(width, height, bits_per_pixel, bottom_up, stride, std::move(bits)));
}

Surface Bitmap::surface() const {
  if (bits_per_pixel_ != 32) return {};
  const auto stride = static_cast<std::ptrdiff_t>(stride_);
  std::uint8_t* top = bottom_up_ ? bits_.get() + (height_ - 1) * stride : bits_.get();
  return Surface{top, width_, height_, bottom_up_ ? -stride : stride};
}

BITMAP Bitmap::describe() const {
  BITMAP bm{};
  bm.bmType = 0;
  bm.bmWidth = width_;
  bm.bmHeight = height_;
  bm.bmWidthBytes = static_cast<LONG>(stride_);
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(bits_per_pixel_);
  bm.bmBits = bits_.get();
  return bm;
}

HBITMAP default_bitmap() {
  static std::once_flag once;
  static HBITMAP handle = nullptr;
  std::call_once(once, [] {
    std::unique_ptr<Bitmap> bitmap = Bitmap::create(1, 1, 1, false);
    bitmap->mark_stock();
    handle = static_cast<HBITMAP>(register_object(std::move(bitmap)));
  });
  return handle;
}

}  // namespace velmora::platform
