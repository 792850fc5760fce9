#include "common/canvas.h"

#include <cstring>

#include "common/png_io.h"

namespace velmora::tools {

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: rows stored bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_ || !bits) return;
  previous_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<std::uint8_t*>(bits);
}

Canvas::~Canvas() {
  if (previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

void Canvas::fill_white() {
  if (bits_) std::memset(bits_, 0xFF, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
}

void Canvas::fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red, std::uint8_t alpha) {
  if (!bits_) return;
  const std::size_t pixels = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  const std::uint8_t pixel[4] = {blue, green, red, alpha};
  for (std::size_t i = 0; i < pixels; ++i) std::memcpy(bits_ + i * 4, pixel, 4);
}

std::uint8_t* Canvas::row(int y) const {
  const std::size_t stride = static_cast<std::size_t>(width_) * 4;
  return bits_ + stride * static_cast<std::size_t>(height_ - 1 - y);  // bottom-up memory
}

bool Canvas::write_png(const std::string& path) const {
  if (!bits_) return false;
  const std::ptrdiff_t stride = std::ptrdiff_t{width_} * 4;
  const std::uint8_t* top_row = bits_ + stride * (height_ - 1);
  return tools::write_png(path, top_row, width_, height_, -stride, false);
}

}  // namespace velmora::tools
