// Small pictures for the core's tests. Each spans logical units 0..100 in
// both directions (its frame), drawn with a solid brush and no pen, so that
// only the fill reaches the capture.
#pragma once

#include <windows.h>

#include <vector>

namespace velmora::test {

// Owns an enhanced-metafile handle.
class Picture {
 public:
  explicit Picture(HENHMETAFILE handle) : handle_(handle) {}
  ~Picture() {
    if (handle_) DeleteEnhMetaFile(handle_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  HENHMETAFILE get() const { return handle_; }

 private:
  HENHMETAFILE handle_;
};

Picture empty_picture();
Picture filled_rectangle(RECT logical, COLORREF color);
Picture filled_triangle(const std::vector<POINT>& corners, COLORREF color);
// Left half one colour, right half the other.
Picture two_halves(COLORREF left, COLORREF right);

}  // namespace velmora::test
