#include "core/dib_target.h"

#include <cstring>
#include <stdexcept>

namespace velmora::test {

DibTarget::DibTarget(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as the library's own bitmaps
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc_ || !bitmap_ || !bits) throw std::runtime_error("test target could not be made");
  bits_ = static_cast<std::uint8_t*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
  fill_pattern();
}

DibTarget::~DibTarget() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

std::uint8_t* DibTarget::row(int y) const { return bits_ + static_cast<std::size_t>(height_ - 1 - y) * width_ * 4; }

void DibTarget::fill(Bgra color) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) std::memcpy(row(y) + x * 4, color.data(), 4);
  }
}

Bgra DibTarget::pattern_at(int x, int y) {
  return {static_cast<std::uint8_t>(x * 7 + 3), static_cast<std::uint8_t>(y * 11 + 5),
          static_cast<std::uint8_t>((x + y) * 13 + 1), static_cast<std::uint8_t>(255 - (x ^ y))};
}

void DibTarget::fill_pattern() {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) std::memcpy(row(y) + x * 4, pattern_at(x, y).data(), 4);
  }
}

Bgra DibTarget::at(int x, int y) const {
  Bgra pixel;
  std::memcpy(pixel.data(), row(y) + x * 4, 4);
  return pixel;
}

std::vector<std::uint8_t> DibTarget::snapshot() const {
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < height_; ++y) pixels.insert(pixels.end(), row(y), row(y) + width_ * 4);
  return pixels;
}

}  // namespace velmora::test
