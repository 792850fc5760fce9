// A drawing target for tests: a memory device context with a 32-bit DIB
// section selected, filled with a pattern in which every pixel differs from
// its neighbours, so that any write shows.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

namespace velmora::test {

using Bgra = std::array<std::uint8_t, 4>;

class DibTarget {
 public:
  DibTarget(int width, int height);
  ~DibTarget();
  DibTarget(const DibTarget&) = delete;
  DibTarget& operator=(const DibTarget&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Every pixel set to `color`, or to the position pattern below.
  void fill(Bgra color);
  void fill_pattern();
  static Bgra pattern_at(int x, int y);

  // The pixel at (x, y), top-down as seen through the device context.
  Bgra at(int x, int y) const;
  // All pixels, top row first, for whole-image comparisons.
  std::vector<std::uint8_t> snapshot() const;

 private:
  std::uint8_t* row(int y) const;

  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint8_t* bits_ = nullptr;
};

}  // namespace velmora::test
