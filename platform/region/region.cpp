// Region algebra on the banded form. Every boolean operation is one sweep down
// both regions: between consecutive band edges each region is a fixed list of
// spans, the two lists are merged span-wise by the operation's truth table,
// and RegionBuilder restores the canonical form.
#include "region/region.h"

#include "common/limits.h"
#include "region/region_builder.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace velmora::platform {

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

// Which pixels survive, given whether they lie in the first and second region.
using Truth = bool (*)(bool in_a, bool in_b);

// A region's spans between two band edges, walked as a sequence of x
// boundaries: even positions are lefts, odd positions rights.
class SpanEdges {
 public:
  explicit SpanEdges(std::span<const RECT> band) : band_(band) {}
  bool done() const { return next_ == 2 * band_.size(); }
  int peek() const {
    if (done()) return INT_MAX;
    const RECT& rect = band_[next_ / 2];
    return next_ % 2 == 0 ? rect.left : rect.right;
  }
  bool inside() const { return next_ % 2 == 1; }
  void pass(int x) {
    if (!done() && peek() == x) ++next_;
  }

 private:
  std::span<const RECT> band_;
  std::size_t next_ = 0;
};

void combine_spans(std::span<const RECT> a, std::span<const RECT> b, Truth truth, std::vector<Span>& out) {
  out.clear();
  SpanEdges edges_a(a);
  SpanEdges edges_b(b);
  bool open = false;
  int start = 0;
  while (!edges_a.done() || !edges_b.done()) {
    const int x = std::min(edges_a.peek(), edges_b.peek());
    edges_a.pass(x);
    edges_b.pass(x);
    const bool inside = truth(edges_a.inside(), edges_b.inside());
    if (inside && !open) start = x;
    if (!inside && open) out.push_back(Span{start, x});
    open = inside;
  }
}

// One region's position in the vertical sweep: the band at or below y.
class BandCursor {
 public:
  explicit BandCursor(const std::vector<RECT>& rects) : rects_(rects) {}
  // The band covering row y, or an empty list when y falls between bands.
  std::span<const RECT> covering(int y) {
    while (start_ < rects_.size() && rects_[start_].bottom <= y) start_ += band_at(rects_, start_).size();
    if (start_ == rects_.size() || rects_[start_].top > y) return {};
    return band_at(rects_, start_);
  }
  // The first band edge below y: where this region's spans next change.
  int next_edge(int y) const {
    if (start_ == rects_.size()) return INT_MAX;
    return rects_[start_].top > y ? rects_[start_].top : rects_[start_].bottom;
  }

 private:
  const std::vector<RECT>& rects_;
  std::size_t start_ = 0;
};

std::vector<RECT> sweep(const std::vector<RECT>& a, const std::vector<RECT>& b, Truth truth) {
  RegionBuilder builder;
  BandCursor cursor_a(a);
  BandCursor cursor_b(b);
  std::vector<Span> spans;
  int y = std::min(a.empty() ? INT_MAX : a.front().top, b.empty() ? INT_MAX : b.front().top);
  while (y != INT_MAX) {
    const std::span<const RECT> band_a = cursor_a.covering(y);
    const std::span<const RECT> band_b = cursor_b.covering(y);
    const int next = std::min(cursor_a.next_edge(y), cursor_b.next_edge(y));
    if (next == INT_MAX) break;
    combine_spans(band_a, band_b, truth, spans);
    builder.add_band(y, next, spans);
    y = next;
  }
  return builder.finish();
}

bool truth_or(bool a, bool b) { return a || b; }
bool truth_and(bool a, bool b) { return a && b; }
bool truth_diff(bool a, bool b) { return a && !b; }
bool truth_xor(bool a, bool b) { return a != b; }

}  // namespace

Region Region::from_rect(const RECT& rect) {
  const RECT clamped{clamp_region_coordinate(rect.left), clamp_region_coordinate(rect.top),
                     clamp_region_coordinate(rect.right), clamp_region_coordinate(rect.bottom)};
  if (clamped.right <= clamped.left || clamped.bottom <= clamped.top) return Region();
  return Region(std::vector<RECT>{clamped});
}

namespace {

// Rectangles already in bands (as every region's own data is written: top
// to bottom, each band's rectangles of one height, left to right, apart)
// go straight to the builder, in one pass.
bool banded(const std::vector<RECT>& rects) {
  for (std::size_t i = 1; i < rects.size(); ++i) {
    const RECT& a = rects[i - 1];
    const RECT& b = rects[i];
    const bool same_band = b.top == a.top && b.bottom == a.bottom && b.left >= a.right;
    if (!same_band && b.top < a.bottom) return false;
  }
  return true;
}

std::vector<RECT> banded_region(const std::vector<RECT>& rects) {
  RegionBuilder builder;
  std::vector<Span> spans;
  for (std::size_t start = 0; start < rects.size();) {
    const std::span<const RECT> band = band_at(rects, start);
    spans.clear();
    for (const RECT& r : band) spans.push_back(Span{clamp_region_coordinate(r.left), clamp_region_coordinate(r.right)});
    builder.add_band(clamp_region_coordinate(band.front().top), clamp_region_coordinate(band.front().bottom), spans);
    start += band.size();
  }
  return builder.finish();
}

RECT bounding_box(const std::vector<RECT>& rects) {
  std::optional<RECT> box;
  for (const RECT& r : rects) {
    if (r.right <= r.left || r.bottom <= r.top) continue;
    box = box ? RECT{std::min(box->left, r.left), std::min(box->top, r.top), std::max(box->right, r.right),
                     std::max(box->bottom, r.bottom)}
              : r;
  }
  return box.value_or(RECT{0, 0, 0, 0});
}

}  // namespace

Region Region::from_rects(const std::vector<RECT>& rects) {
  if (rects.empty()) return Region();
  if (rects.size() == 1) return from_rect(rects.front());
  if (banded(rects)) return Region(banded_region(rects));
  // Past the limit, loose rectangles give their bounding box, as a region
  // too detailed to keep does.
  if (rects.size() > limits::kMaxLooseRegionRects) return from_rect(bounding_box(rects));
  // Divide and conquer keeps the union of n rectangles near n log n band
  // work instead of the n squared of adding them one at a time.
  const auto middle = rects.begin() + static_cast<std::ptrdiff_t>(rects.size() / 2);
  const Region upper = from_rects(std::vector<RECT>(rects.begin(), middle));
  const Region lower = from_rects(std::vector<RECT>(middle, rects.end()));
  return upper.united(lower);
}

RECT Region::bounds() const {
  if (rects_.empty()) return RECT{0, 0, 0, 0};
  RECT box{rects_.front().left, rects_.front().top, rects_.front().right, rects_.back().bottom};
  for (const RECT& rect : rects_) {
    box.left = std::min(box.left, rect.left);
    box.right = std::max(box.right, rect.right);
  }
  return box;
}

bool Region::contains(int x, int y) const {
  // Bands are disjoint and sorted, so bottoms rise with the index too.
  const auto first = std::partition_point(rects_.begin(), rects_.end(),
                                          [y](const RECT& rect) { return rect.bottom <= y; });
  for (auto it = first; it != rects_.end() && it->top <= y; ++it) {
    if (x >= it->left && x < it->right) return true;
  }
  return false;
}

Region Region::united(const Region& other) const { return Region(sweep(rects_, other.rects_, truth_or)); }
Region Region::intersected(const Region& other) const { return Region(sweep(rects_, other.rects_, truth_and)); }
Region Region::subtracted(const Region& other) const { return Region(sweep(rects_, other.rects_, truth_diff)); }
Region Region::xored(const Region& other) const { return Region(sweep(rects_, other.rects_, truth_xor)); }

Region Region::combined(const Region& other, int rgn_mode) const {
  switch (rgn_mode) {
    case RGN_AND: return intersected(other);
    case RGN_OR: return united(other);
    case RGN_XOR: return xored(other);
    case RGN_DIFF: return subtracted(other);
    case RGN_COPY: return other;
    default: return *this;  // an unknown mode leaves the region as it was
  }
}

Region Region::offset(int dx, int dy) const {
  if (rects_.empty()) return Region();
  const RECT box = bounds();
  const long long lowest = std::min(static_cast<long long>(box.left) + dx, static_cast<long long>(box.top) + dy);
  const long long highest = std::max(static_cast<long long>(box.right) + dx, static_cast<long long>(box.bottom) + dy);
  std::vector<RECT> moved = rects_;
  for (RECT& rect : moved) {
    rect = RECT{clamp_region_coordinate(static_cast<long long>(rect.left) + dx),
                clamp_region_coordinate(static_cast<long long>(rect.top) + dy),
                clamp_region_coordinate(static_cast<long long>(rect.right) + dx),
                clamp_region_coordinate(static_cast<long long>(rect.bottom) + dy)};
  }
  // A plain shift keeps the canonical form; squeezing against the coordinate
  // limit may flatten or join rectangles, so that case is rebuilt.
  if (lowest >= -kMaxRegionCoordinate && highest <= kMaxRegionCoordinate) return Region(std::move(moved));
  return from_rects(moved);
}

}  // namespace velmora::platform
