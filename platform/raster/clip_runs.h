// Clipping of a horizontal run of pixels to a surface and a clip region:
// the one place where drawing learns which pixels it may change.
#pragma once

#include "gdi/surface.h"
#include "region/region.h"

#include <algorithm>

namespace velmora::platform {

// Calls visit(x0, x1) for each visible part [x0, x1) of pixels [x0, x1) of
// row y, left to right. clip may be null (no clip region).
template <class Visit>
void for_each_visible_run(const Surface& surface, const Region* clip, int y, int x0, int x1, Visit&& visit) {
  if (y < 0 || y >= surface.height) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, surface.width);
  if (x0 >= x1) return;
  if (!clip) {
    visit(x0, x1);
    return;
  }
  const auto& rects = clip->rects();
  // Bands are sorted by top; skip those that end above the row.
  auto it = std::lower_bound(rects.begin(), rects.end(), y, [](const RECT& r, int row) { return r.bottom <= row; });
  for (; it != rects.end() && it->top <= y; ++it) {
    if (it->bottom <= y) continue;
    const int left = std::max<int>(x0, it->left);
    const int right = std::min<int>(x1, it->right);
    if (left < right) visit(left, right);
  }
}

}  // namespace velmora::platform
