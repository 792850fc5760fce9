// Internal to the region files: the one way a Region's rectangles are made.
// RegionBuilder takes bands from top to bottom, each a sorted list of
// disjoint spans, and keeps the canonical form that Region promises: adjacent
// spans in a band merged, empty bands dropped, and a band that continues the
// one above it with the same spans merged into it. Past the rectangle limit it
// gives up on the detail and yields the bounding box of everything it was
// given, a superset that is still a usable clip.
#pragma once

#include "common/limits.h"
#include "region/region.h"

#include <cstddef>
#include <span>
#include <vector>

namespace velmora::platform {

// A horizontal run of pixels [left, right).
struct Span {
  int left;
  int right;
};

using limits::kMaxRegionRects;

inline constexpr auto kMaxRegionCoordinate = limits::kMaxDeviceCoordinate;

int clamp_region_coordinate(long long value);

class RegionBuilder {
 public:
  // Spans sorted by left, disjoint (touching spans are merged here).
  void add_band(int top, int bottom, std::span<const Span> spans);
  std::vector<RECT> finish();

 private:
  bool continues_last_band(int top, std::span<const Span> spans) const;
  void note_bounds(int top, int bottom, std::span<const Span> spans);

  std::vector<RECT> rects_;
  std::vector<Span> merged_;  // scratch: the band being added, touching spans joined
  std::size_t last_band_start_ = 0;
  bool overflowed_ = false;
  RECT bounds_{0, 0, 0, 0};
  bool has_bounds_ = false;
};

// The rectangles of one band of a canonical region.
std::span<const RECT> band_at(const std::vector<RECT>& rects, std::size_t start);

}  // namespace velmora::platform
