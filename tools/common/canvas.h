// A drawing surface for the tools and benchmarks: a memory device context
// with a 32-bit bottom-up DIB section selected, released when it goes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace velmora::tools {

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // False when the context or the bitmap could not be made.
  bool valid() const { return bits_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The pixel memory: bottom-up rows of 4 * width bytes.
  std::uint8_t* bits() const { return bits_; }

  // Every pixel opaque white.
  void fill_white();
  // Every pixel set to the four bytes B, G, R, A.
  void fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red, std::uint8_t alpha);
  // Row y counted from the top: width * 4 bytes of B, G, R, A.
  std::uint8_t* row(int y) const;
  // The picture as an RGB PNG; false when it cannot be written.
  bool write_png(const std::string& path) const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint8_t* bits_ = nullptr;
};

}  // namespace velmora::tools
