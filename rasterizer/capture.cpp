#include "capture.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velmora::core {
namespace {

std::size_t pixel_count(const PixelMemory& memory) {
  return static_cast<std::size_t>(memory.width) * static_cast<std::size_t>(memory.height);
}

// A pixel word whose only non-zero byte is the alpha byte (the fourth in
// memory, on the little-endian machines the platform runs on).
std::uint32_t alpha_word(unsigned char alpha) { return static_cast<std::uint32_t>(alpha) << 24; }

}  // namespace

// All bytes 0, then every alpha byte (3, 7, 11, ...) set to the key: one
// pass that writes each pixel as a whole word, colour 0 and alpha the key.
// The player writes 0 into the alpha byte of each pixel it draws.
void prefill(const PixelMemory& memory, unsigned char key) {
  const std::size_t pixels = pixel_count(memory);
  const std::uint32_t word = alpha_word(key);
  std::uint8_t* const bits = memory.bits;  // held apart, so the stores cannot be taken to change it
  for (std::size_t i = 0; i < pixels; ++i) std::memcpy(bits + i * 4, &word, 4);
}

// Drawn pixels (alpha 0) take the key as their alpha; untouched ones (alpha =
// key, colour 0) become all zero, that is transparent. Whole words are XORed
// with the key in their alpha byte, which changes the alpha bytes alone.
void flip_key(const PixelMemory& memory, unsigned char key) {
  const std::size_t pixels = pixel_count(memory);
  const std::uint32_t mask = alpha_word(key);
  std::uint8_t* const bits = memory.bits;
  for (std::size_t i = 0; i < pixels; ++i) {
    std::uint32_t word;
    std::memcpy(&word, bits + i * 4, 4);
    word ^= mask;
    std::memcpy(bits + i * 4, &word, 4);
  }
}

// The one-pixel frame, all four bytes 0: the resampler's edge-clamping reads
// land here, so whatever lies beyond the capture comes out transparent.
void clear_frame(const PixelMemory& memory) {
  const std::size_t stride = static_cast<std::size_t>(memory.width) * 4;
  std::uint8_t* const last_row = memory.bits + stride * static_cast<std::size_t>(memory.height - 1);
  std::memset(memory.bits, 0, stride);
  std::memset(last_row, 0, stride);
  for (std::uint8_t* row = memory.bits + stride; row < last_row; row += stride) {
    std::memset(row, 0, 4);
    std::memset(row + stride - 4, 0, 4);
  }
}

CaptureSurface::CaptureSurface(HDC target, int width, int height) : width_(width), height_(height) {
  memory_dc_ = CreateCompatibleDC(target);
  if (!memory_dc_) return;
  result_ = create_bitmap(&result_bits_);
  if (!result_) return;
  capture_ = create_bitmap(&capture_bits_);
  if (!capture_) return;
  previous_ = SelectObject(memory_dc_, capture_);
  valid_ = previous_ != nullptr && previous_ != HGDI_ERROR;
}

CaptureSurface::~CaptureSurface() {
  if (previous_ && previous_ != HGDI_ERROR) SelectObject(memory_dc_, previous_);
  if (result_) DeleteObject(result_);
  if (capture_) DeleteObject(capture_);
  if (memory_dc_) DeleteDC(memory_dc_);
}

// A 32-bit bottom-up DIB section of the capture's size; null unless both the
// bitmap and its pixel memory were had.
HBITMAP CaptureSurface::create_bitmap(std::uint8_t** bits) const {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = height_;  // positive: rows stored bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* memory = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory_dc_, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
  if (bitmap && !memory) {
    DeleteObject(bitmap);
    return nullptr;
  }
  *bits = static_cast<std::uint8_t*>(memory);
  return bitmap;
}

void CaptureSurface::capture(HENHMETAFILE picture, const RECT& playback, unsigned char key) {
  const PixelMemory memory = capture_pixels();
  prefill(memory, key);
  PlayEnhMetaFile(memory_dc_, picture, &playback);
  // The pixels are read directly next: drawing still queued must land first.
  GdiFlush();
  flip_key(memory, key);
  clear_frame(memory);
}

void CaptureSurface::select_result() { SelectObject(memory_dc_, result_); }

}  // namespace velmora::core
