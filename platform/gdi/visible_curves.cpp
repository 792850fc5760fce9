#include "gdi/visible_curves.h"

#include <algorithm>

namespace velmora::platform {
namespace {

using Cubic = std::array<agg::point_d, 4>;

// Each halving halves the extent: enough to bring a curve across the whole
// coordinate range down to the kept size.
constexpr int kMaxHalvings = 24;

agg::rect_d hull_box(const Cubic& c) {
  agg::rect_d box{c[0].x, c[0].y, c[0].x, c[0].y};
  for (const agg::point_d& p : c) {
    box.x1 = std::min(box.x1, p.x);
    box.y1 = std::min(box.y1, p.y);
    box.x2 = std::max(box.x2, p.x);
    box.y2 = std::max(box.y2, p.y);
  }
  return box;
}

bool disjoint(const agg::rect_d& a, const agg::rect_d& b) {
  return a.x2 < b.x1 || b.x2 < a.x1 || a.y2 < b.y1 || b.y2 < a.y1;
}

agg::point_d middle(const agg::point_d& a, const agg::point_d& b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

void append(agg::path_storage& out, const Cubic& c, const agg::rect_d& visible, int halvings) {
  const agg::rect_d hull = hull_box(c);
  if (std::max(hull.x2 - hull.x1, hull.y2 - hull.y1) <= kWholeCurveExtent || halvings == 0) {
    out.curve4(c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y);
    return;
  }
  if (disjoint(hull, visible)) {
    out.line_to(c[3].x, c[3].y);
    return;
  }
  // de Casteljau at t = 1/2.
  const agg::point_d ab = middle(c[0], c[1]), bc = middle(c[1], c[2]), cd = middle(c[2], c[3]);
  const agg::point_d abc = middle(ab, bc), bcd = middle(bc, cd);
  const agg::point_d mid = middle(abc, bcd);
  append(out, {c[0], ab, abc, mid}, visible, halvings - 1);
  append(out, {mid, bcd, cd, c[3]}, visible, halvings - 1);
}

}  // namespace

void append_visible_curve(agg::path_storage& out, const Cubic& c, const agg::rect_d& visible) {
  append(out, c, visible, kMaxHalvings);
}

}  // namespace velmora::platform
