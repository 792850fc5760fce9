#include "emf/shape_geometry.h"

#include "common/limits.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora::platform {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Largest distance, in device pixels, between a sampled chord and the true
// curve: small enough that rounding to pixels gives the same outline.
constexpr double kChordTolerance = 0.125;
// Bounds on the segments of one arc: enough for a smooth circle, few enough
// that a huge radius cannot exhaust memory.
constexpr int kMinArcSteps = 4;
using limits::kMaxArcSteps;

int arc_steps(double radius, double sweep) {
  if (!(radius > kChordTolerance)) return kMinArcSteps;
  const double step = 2.0 * std::acos(radius / (radius + kChordTolerance));
  const double n = std::ceil(std::abs(sweep) / step);
  return static_cast<int>(std::clamp(n, double{kMinArcSteps}, double{kMaxArcSteps}));
}

void add(DevicePath& path, const agg::trans_affine& m, double x, double y, DevicePath::Kind kind) {
  m.transform(&x, &y);
  path.add(x, y, kind);
}

}  // namespace

EllipseGeometry EllipseGeometry::inscribed(const Box& b) {
  return {(b.left + b.right) / 2.0, (b.top + b.bottom) / 2.0, std::abs(b.right - b.left) / 2.0,
          std::abs(b.bottom - b.top) / 2.0};
}

double EllipseGeometry::angle_towards(double x, double y) const {
  const double dx = rx > 0.0 ? (x - cx) / rx : 0.0;
  const double dy = ry > 0.0 ? (cy - y) / ry : 0.0;
  return dx == 0.0 && dy == 0.0 ? 0.0 : std::atan2(dy, dx);
}

double EllipseGeometry::x_at(double angle) const { return cx + rx * std::cos(angle); }
double EllipseGeometry::y_at(double angle) const { return cy - ry * std::sin(angle); }

double arc_sweep(double start, double end, int arc_direction) {
  double sweep = end - start;
  if (arc_direction == AD_CLOCKWISE) {
    while (sweep >= 0.0) sweep -= kTwoPi;
  } else {
    while (sweep <= 0.0) sweep += kTwoPi;
  }
  return sweep;
}

void append_arc(DevicePath& path, const EllipseGeometry& e, double start, double sweep, bool new_figure,
                const agg::trans_affine& m) {
  const double device_radius = std::max(e.rx, e.ry) * std::sqrt(std::abs(m.determinant()));
  const int steps = arc_steps(device_radius, sweep);
  add(path, m, e.x_at(start), e.y_at(start), new_figure ? DevicePath::Kind::MoveTo : DevicePath::Kind::LineTo);
  for (int i = 1; i <= steps; ++i) {
    const double a = start + sweep * i / steps;
    add(path, m, e.x_at(a), e.y_at(a), DevicePath::Kind::LineTo);
  }
}

void append_box(DevicePath& path, const Box& b, const agg::trans_affine& m) {
  add(path, m, b.left, b.top, DevicePath::Kind::MoveTo);
  add(path, m, b.right, b.top, DevicePath::Kind::LineTo);
  add(path, m, b.right, b.bottom, DevicePath::Kind::LineTo);
  add(path, m, b.left, b.bottom, DevicePath::Kind::LineTo);
  path.close_figure();
}

void append_ellipse(DevicePath& path, const Box& box, const agg::trans_affine& m) {
  append_arc(path, EllipseGeometry::inscribed(box), 0.0, kTwoPi, true, m);
  path.close_figure();
}

void append_round_rect(DevicePath& path, const Box& box, double corner_width, double corner_height,
                       const agg::trans_affine& m) {
  const double l = std::min(box.left, box.right), r = std::max(box.left, box.right);
  const double t = std::min(box.top, box.bottom), b = std::max(box.top, box.bottom);
  const double rx = std::min(std::abs(corner_width), r - l) / 2.0;
  const double ry = std::min(std::abs(corner_height), b - t) / 2.0;
  const double quarter = std::numbers::pi / 2.0;
  append_arc(path, {r - rx, t + ry, rx, ry}, 0.0, quarter, true, m);
  append_arc(path, {l + rx, t + ry, rx, ry}, quarter, quarter, false, m);
  append_arc(path, {l + rx, b - ry, rx, ry}, 2 * quarter, quarter, false, m);
  append_arc(path, {r - rx, b - ry, rx, ry}, 3 * quarter, quarter, false, m);
  path.close_figure();
}

}  // namespace velmora::platform
