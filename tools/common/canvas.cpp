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

bool Canvas::write_png(const std::string& path) const {
  if (!bits_) return false;
  const std::ptrdiff_t stride = std::ptrdiff_t{width_} * 4;
  const std::uint8_t* top_row = bits_ + stride * (height_ - 1);
  return tools::write_png(path, top_row, width_, height_, -stride, false);
}

}  // namespace velmora::tools
