#include "raster/cosmetic_line.h"

#include <agg_dda_line.h>

#include <algorithm>
#include <cmath>

namespace velmora::platform {
namespace {

constexpr double kSubpixel = agg::line_bresenham_interpolator::subpixel_scale;

// The part [t0, t1] of segment p + t (q - p), t in [0, 1], inside the box;
// false when none is.
bool clip_to_box(const double p[2], const double q[2], const double lo[2], const double hi[2], double& t0, double& t1) {
  t0 = 0.0;
  t1 = 1.0;
  for (int axis = 0; axis < 2; ++axis) {
    const double d = q[axis] - p[axis];
    if (d == 0.0) {
      if (p[axis] < lo[axis] || p[axis] > hi[axis]) return false;
      continue;
    }
    double a = (lo[axis] - p[axis]) / d;
    double b = (hi[axis] - p[axis]) / d;
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
  }
  return t0 <= t1;
}

int subpixel(double v) { return static_cast<int>(std::lround(v * kSubpixel)); }

}  // namespace

CosmeticLine::CosmeticLine(PixelWriter& writer, std::uint32_t color, std::optional<std::uint32_t> gap_color,
                           std::vector<int> pattern)
    : writer_(writer), color_(color), gap_color_(gap_color), pattern_(std::move(pattern)) {
  if (!pattern_.empty()) left_in_dash_ = pattern_[0];
}

void CosmeticLine::plot(int x, int y) {
  if (pattern_.empty()) {
    writer_.pixel(x, y, color_);
    return;
  }
  if (dash_ % 2 == 0) {
    writer_.pixel(x, y, color_);
  } else if (gap_color_) {
    writer_.pixel(x, y, *gap_color_);
  }
  advance_pattern(1);
}

void CosmeticLine::advance_pattern(long long pixels) {
  if (pattern_.empty()) return;
  long long period = 0;
  for (int run : pattern_) period += run;
  pixels %= period;
  while (pixels > 0) {
    const long long step = std::min<long long>(pixels, left_in_dash_);
    left_in_dash_ -= static_cast<int>(step);
    pixels -= step;
    if (left_in_dash_ == 0) {
      dash_ = (dash_ + 1) % pattern_.size();
      left_in_dash_ = pattern_[dash_];
    }
  }
}

void CosmeticLine::dot(POINT p) { plot(p.x, p.y); }

void CosmeticLine::line(POINT a, POINT b) {
  // Pixel centres, clipped to the surface plus a margin so that the walk
  // never leaves int range or wanders far outside.
  const Surface& s = writer_.surface();
  const double p[2] = {a.x + 0.5, a.y + 0.5};
  const double q[2] = {b.x + 0.5, b.y + 0.5};
  const double lo[2] = {-2.0, -2.0};
  const double hi[2] = {s.width + 2.0, s.height + 2.0};
  const double major = std::max(std::abs(q[0] - p[0]), std::abs(q[1] - p[1]));
  double t0, t1;
  if (!clip_to_box(p, q, lo, hi, t0, t1)) {
    advance_pattern(static_cast<long long>(major));
    return;
  }
  advance_pattern(static_cast<long long>(major * t0));
  const bool clipped_end = t1 < 1.0;
  agg::line_bresenham_interpolator li(subpixel(p[0] + (q[0] - p[0]) * t0), subpixel(p[1] + (q[1] - p[1]) * t0),
                                      subpixel(p[0] + (q[0] - p[0]) * t1), subpixel(p[1] + (q[1] - p[1]) * t1));
  unsigned len = li.len() + (clipped_end ? 1 : 0);
  if (li.is_ver()) {
    for (; len > 0; --len, li.vstep()) plot(li.x2(), li.y1());
  } else {
    for (; len > 0; --len, li.hstep()) plot(li.x1(), li.y2());
  }
}

}  // namespace velmora::platform
