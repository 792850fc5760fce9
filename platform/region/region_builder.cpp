#include "region/region_builder.h"

#include <algorithm>

namespace velmora::platform {

int clamp_region_coordinate(long long value) {
  return static_cast<int>(std::clamp<long long>(value, -kMaxRegionCoordinate, kMaxRegionCoordinate));
}

std::span<const RECT> band_at(const std::vector<RECT>& rects, std::size_t start) {
  std::size_t end = start;
  while (end < rects.size() && rects[end].top == rects[start].top) ++end;
  return std::span<const RECT>(rects.data() + start, end - start);
}

void RegionBuilder::add_band(int top, int bottom, std::span<const Span> spans) {
  if (bottom <= top) return;
  merged_.clear();
  for (const Span& span : spans) {
    if (span.right <= span.left) continue;
    if (!merged_.empty() && merged_.back().right >= span.left) {
      merged_.back().right = std::max(merged_.back().right, span.right);
    } else {
      merged_.push_back(span);
    }
  }
  if (merged_.empty()) return;
  note_bounds(top, bottom, merged_);
  if (overflowed_) return;
  if (continues_last_band(top, merged_)) {
    for (std::size_t i = last_band_start_; i < rects_.size(); ++i) rects_[i].bottom = bottom;
    return;
  }
  if (rects_.size() + merged_.size() > kMaxRegionRects) {
    overflowed_ = true;
    return;
  }
  last_band_start_ = rects_.size();
  for (const Span& span : merged_) rects_.push_back(RECT{span.left, top, span.right, bottom});
}

bool RegionBuilder::continues_last_band(int top, std::span<const Span> spans) const {
  if (rects_.empty() || rects_.back().bottom != top) return false;
  if (rects_.size() - last_band_start_ != spans.size()) return false;
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const RECT& rect = rects_[last_band_start_ + i];
    if (rect.left != spans[i].left || rect.right != spans[i].right) return false;
  }
  return true;
}

void RegionBuilder::note_bounds(int top, int bottom, std::span<const Span> spans) {
  const int left = spans.front().left;
  const int right = spans.back().right;
  if (!has_bounds_) {
    bounds_ = RECT{left, top, right, bottom};
    has_bounds_ = true;
    return;
  }
  bounds_.left = std::min<int>(bounds_.left, left);
  bounds_.right = std::max<int>(bounds_.right, right);
  bounds_.top = std::min<int>(bounds_.top, top);
  bounds_.bottom = std::max<int>(bounds_.bottom, bottom);
}

std::vector<RECT> RegionBuilder::finish() {
  if (overflowed_) return {bounds_};
  return std::move(rects_);
}

}  // namespace velmora::platform
