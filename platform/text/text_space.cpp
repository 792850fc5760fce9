#include "text/text_space.h"

#include <cmath>
#include <numbers>

namespace velmora::platform {
namespace {

// Below this |determinant| a transform squashes the plane to a line: nothing
// drawn through it would be visible, and its inverse would not be finite.
constexpr double kMinDeterminant = 1e-12;

agg::trans_affine linear_part(agg::trans_affine m) {
  m.tx = 0;
  m.ty = 0;
  return m;
}

}  // namespace

agg::trans_affine rotation_tenths(double tenths) {
  const double a = tenths * std::numbers::pi / 1800.0;
  const double c = std::cos(a);
  const double s = std::sin(a);
  // x' = c x + s y, y' = -s x + c y
  return agg::trans_affine(c, -s, s, c, 0, 0);
}

double x_axis_scale(const agg::trans_affine& m) { return std::hypot(m.sx, m.shy); }
double y_axis_scale(const agg::trans_affine& m) { return std::hypot(m.shx, m.sy); }

bool is_usable(const agg::trans_affine& m) {
  const double values[] = {m.sx, m.shy, m.shx, m.sy, m.tx, m.ty};
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return std::fabs(m.determinant()) > kMinDeterminant;
}

agg::trans_affine text_linear(int escapement, bool advanced_mode, const agg::trans_affine& world,
                              const agg::trans_affine& page) {
  if (advanced_mode) {
    agg::trans_affine linear = rotation_tenths(escapement);
    linear.multiply(linear_part(world));
    linear.multiply(agg::trans_affine_scaling(x_axis_scale(page), y_axis_scale(page)));
    return linear;
  }
  // The angle counts counter-clockwise in logical space: a mapping that
  // mirrors the picture turns the upright glyphs the other way on the device.
  const agg::trans_affine mapping = world * page;
  const double turn = mapping.determinant() < 0 ? -escapement : escapement;
  agg::trans_affine linear = rotation_tenths(turn);
  linear.premultiply(agg::trans_affine_scaling(x_axis_scale(mapping), y_axis_scale(mapping)));
  return linear;
}

void append_box(agg::path_storage& out, const agg::trans_affine& to_device, double x0, double y0, double x1,
                double y1) {
  const double corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  for (int i = 0; i < 4; ++i) {
    double x = corners[i][0];
    double y = corners[i][1];
    to_device.transform(&x, &y);
    if (i == 0)
      out.move_to(x, y);
    else
      out.line_to(x, y);
  }
  out.close_polygon();
}

}  // namespace velmora::platform
