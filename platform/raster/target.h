// What drawing writes to: a surface and the clip region it is limited to.
// The one place where drawing learns which pixels it may change: every
// writer below visits only the runs and rectangles these functions give.
#pragma once

#include "raster/surface.h"
#include "region/region.h"

#include <algorithm>

namespace velmora::platform {

struct Target {
  Surface surface;
  const Region* clip = nullptr;  // device pixels; null = the whole surface

  bool empty() const { return surface.empty(); }
};

// Calls visit(x0, x1) for each visible part [x0, x1) of pixels [x0, x1) of
// row y, left to right.
template <class Visit>
void for_each_visible_run(const Target& target, int y, int x0, int x1, Visit&& visit) {
  const Surface& surface = target.surface;
  if (y < 0 || y >= surface.height) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, surface.width);
  if (x0 >= x1) return;
  if (!target.clip) {
    visit(x0, x1);
    return;
  }
  const auto& rects = target.clip->rects();
  // Bands are sorted by top; skip those that end above the row.
  auto it = std::lower_bound(rects.begin(), rects.end(), y, [](const RECT& r, int row) { return r.bottom <= row; });
  for (; it != rects.end() && it->top <= y; ++it) {
    if (it->bottom <= y) continue;
    const int left = std::max<int>(x0, it->left);
    const int right = std::min<int>(x1, it->right);
    if (left < right) visit(left, right);
  }
}

// Calls fn(RECT) for each part of `bounds` inside the surface and the clip.
template <class Fn>
void for_each_visible_rect(const Target& target, const RECT& bounds, Fn&& fn) {
  const Surface& surface = target.surface;
  auto visit = [&](const RECT& clip) {
    const RECT r = {std::max({bounds.left, clip.left, LONG{0}}), std::max({bounds.top, clip.top, LONG{0}}),
                    std::min({bounds.right, clip.right, LONG{surface.width}}),
                    std::min({bounds.bottom, clip.bottom, LONG{surface.height}})};
    if (r.left < r.right && r.top < r.bottom) fn(r);
  };
  if (!target.clip) {
    visit(RECT{0, 0, surface.width, surface.height});
    return;
  }
  const auto& rects = target.clip->rects();
  auto it = std::lower_bound(rects.begin(), rects.end(), bounds.top,
                             [](const RECT& r, LONG row) { return r.bottom <= row; });
  for (; it != rects.end() && it->top < bounds.bottom; ++it) visit(*it);
}

}  // namespace velmora::platform
