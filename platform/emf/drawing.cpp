#include "emf/drawing.h"

#include "gdi/dc_paint.h"

#include <cmath>

namespace velmora::platform {

double DeviceMapping::scale() const { return std::sqrt(std::abs(m_.determinant())); }

POINT DeviceMapping::point(double x, double y) const {
  m_.transform(&x, &y);
  return POINT{device_coordinate(x), device_coordinate(y)};
}

FillRule poly_fill_rule(const DeviceContext& dc) {
  return dc.state().fill_mode == WINDING ? FillRule::NonZero : FillRule::EvenOdd;
}

void append_to_path(DevicePath& path, const DevicePath& figures) {
  const auto& v = figures.vertices();
  std::size_t first = 0;
  if (!v.empty() && !path.vertices().empty() && v[0].kind == DevicePath::Kind::MoveTo) {
    const DevicePath::Vertex& last = path.vertices().back();
    if (!last.closes_figure && last.x == v[0].x && last.y == v[0].y) first = 1;
  }
  for (std::size_t i = first; i < v.size(); ++i) {
    if (!path.add(v[i].x, v[i].y, v[i].kind)) return;
    if (v[i].closes_figure) path.close_figure();
  }
}

void draw_closed(DeviceContext& dc, const DevicePath& area, const DevicePath& outline, FillRule rule) {
  if (dc.path().is_open()) {
    append_to_path(dc.path(), outline);
    return;
  }
  const DcState& s = dc.state();
  if (!s.brush_traits.is_null()) {
    fill_area(dc, area, rule, s.brush_traits);
  }
  stroke_outline(dc, outline, s.pen_traits, DeviceMapping(dc).scale());
}

void draw_open(DeviceContext& dc, const DevicePath& lines) {
  if (dc.path().is_open()) {
    append_to_path(dc.path(), lines);
    return;
  }
  stroke_outline(dc, lines, dc.state().pen_traits, DeviceMapping(dc).scale());
}

void fill_device_path(DeviceContext& dc, const DevicePath& path) {
  const BrushTraits& brush = dc.state().brush_traits;
  if (brush.is_null()) return;
  fill_area(dc, path, poly_fill_rule(dc), brush);
}

void stroke_device_path(DeviceContext& dc, const DevicePath& path) {
  stroke_outline(dc, path, dc.state().pen_traits, DeviceMapping(dc).scale());
}

}  // namespace velmora::platform
