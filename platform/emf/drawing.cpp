#include "emf/drawing.h"

#include "raster/painter.h"
#include "raster/stroke.h"

#include <cmath>
#include <limits>

namespace velmora::platform {
namespace {

// Device coordinates are kept within this range: far beyond any surface,
// and safely inside int and AGG's fixed-point arithmetic after clipping.
constexpr double kCoordinateLimit = 1 << 26;

LONG clamp_coordinate(double v) {
  if (!(v > -kCoordinateLimit)) return static_cast<LONG>(-kCoordinateLimit);  // also NaN
  if (v > kCoordinateLimit) return static_cast<LONG>(kCoordinateLimit);
  return static_cast<LONG>(std::lround(v));
}

}  // namespace

double DeviceMapping::scale() const { return std::sqrt(std::abs(m_.determinant())); }

POINT DeviceMapping::point(double x, double y) const {
  m_.transform(&x, &y);
  return POINT{clamp_coordinate(x), clamp_coordinate(y)};
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
  if (!s.brush_spec.is_null()) {
    agg::path_storage fill = area.to_agg();
    fill_path_aliased(dc, fill, rule, s.brush_spec);
  }
  stroke_outline(dc, outline, s.pen_spec, DeviceMapping(dc).scale());
}

void draw_open(DeviceContext& dc, const DevicePath& lines) {
  if (dc.path().is_open()) {
    append_to_path(dc.path(), lines);
    return;
  }
  stroke_outline(dc, lines, dc.state().pen_spec, DeviceMapping(dc).scale());
}

void fill_device_path(DeviceContext& dc, const DevicePath& path) {
  const BrushSpec& brush = dc.state().brush_spec;
  if (brush.is_null()) return;
  agg::path_storage fill = path.to_agg();
  fill_path_aliased(dc, fill, poly_fill_rule(dc), brush);
}

void stroke_device_path(DeviceContext& dc, const DevicePath& path) {
  stroke_outline(dc, path, dc.state().pen_spec, DeviceMapping(dc).scale());
}

}  // namespace velmora::platform
