// A region of device pixels: a set of non-overlapping rectangles grouped in
// bands of equal top and bottom (the classic banded-rectangle form). Used for
// clipping, the meta region and the region records. Coordinates are device
// pixels; a rectangle covers [left, right) x [top, bottom).
#pragma once

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace velmora::platform {

enum class FillRule { EvenOdd, NonZero };  // ALTERNATE, WINDING

// A point in device pixels with a fraction, as paths keep them.
struct DevicePoint {
  double x;
  double y;
};

// Declared here, not found by argument-dependent lookup (RECT lives in the
// global namespace): std::vector<RECT>'s own == cannot see it.
bool operator==(const RECT& a, const RECT& b);

class Region {
 public:
  Region() = default;                        // empty
  static Region from_rect(const RECT& rect);  // empty when right <= left or bottom <= top
  // Pixels whose centres lie inside the polygon(s), by the fill rule. Each
  // inner vector is one closed polygon in device coordinates.
  static Region from_polygons(const std::vector<std::vector<POINT>>& polygons, FillRule rule);
  // The same for polygons with fractional corners (flattened paths).
  static Region from_device_polygons(const std::vector<std::vector<DevicePoint>>& polygons, FillRule rule);
  // Builds from rectangles that may overlap (union of them all).
  static Region from_rects(const std::vector<RECT>& rects);

  bool empty() const { return rects_.empty(); }
  RECT bounds() const;  // all zero when empty
  bool contains(int x, int y) const;
  const std::vector<RECT>& rects() const { return rects_; }  // banded, sorted by top then left

  Region united(const Region& other) const;       // RGN_OR
  Region intersected(const Region& other) const;  // RGN_AND
  Region subtracted(const Region& other) const;   // RGN_DIFF
  Region xored(const Region& other) const;        // RGN_XOR
  Region combined(const Region& other, int rgn_mode) const;  // RGN_AND..RGN_COPY; RGN_COPY gives other
  Region offset(int dx, int dy) const;

  bool operator==(const Region& other) const {
    return std::equal(rects_.begin(), rects_.end(), other.rects_.begin(), other.rects_.end(),
                      [](const RECT& a, const RECT& b) { return a == b; });
  }

 private:
  // Takes rectangles already in canonical banded form (see region_builder.h).
  explicit Region(std::vector<RECT> canonical_rects) : rects_(std::move(canonical_rects)) {}

  std::vector<RECT> rects_;
};

}  // namespace velmora::platform
