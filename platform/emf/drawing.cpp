#include "emf/drawing.h"

#include "raster/painter.h"
#include "raster/stroke.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

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

// Fills sample each pixel at its own coordinates (pixel (x, y) is the point
// (x, y)), with GDI's rule that left and top edges are inside and right and
// bottom ones outside. AGG samples pixel centres, so fills move by half a
// pixel less one subpixel step: an edge on a whole coordinate then takes
// the pixel on its right and below, never the one on its left and above.
constexpr double kFillShift = 0.5 - 1.0 / 256.0;

agg::path_storage fill_geometry(const DevicePath& area) {
  agg::path_storage path = area.to_agg();
  path.translate(kFillShift, kFillShift);
  return path;
}

// The pixel rows of an area that is one axis-aligned rectangle (four or five
// points, in either turn), or none. Such areas are painted as spans: their
// corner pixels cover only a quarter of an area-sampled pixel, yet GDI takes
// the top-left one.
std::optional<std::vector<DeviceSpan>> box_spans(const DevicePath& area, int surface_height) {
  const auto& v = area.vertices();
  if (v.size() < 4 || v.size() > 5) return std::nullopt;
  for (std::size_t i = 1; i < v.size(); ++i) {
    if (v[i].kind != DevicePath::Kind::LineTo) return std::nullopt;
  }
  if (v.size() == 5 && (v[4].x != v[0].x || v[4].y != v[0].y)) return std::nullopt;
  const bool horizontal_first = v[0].y == v[1].y && v[1].x == v[2].x && v[2].y == v[3].y && v[3].x == v[0].x;
  const bool vertical_first = v[0].x == v[1].x && v[1].y == v[2].y && v[2].x == v[3].x && v[3].y == v[0].y;
  if (!horizontal_first && !vertical_first) return std::nullopt;
  // Pixel x is inside when left <= x < right (and likewise for rows).
  const double left = std::min(v[0].x, v[2].x), right = std::max(v[0].x, v[2].x);
  const double top = std::min(v[0].y, v[2].y), bottom = std::max(v[0].y, v[2].y);
  const int x0 = clamp_coordinate(std::ceil(left)), x1 = clamp_coordinate(std::ceil(right));
  const int y0 = clamp_coordinate(std::ceil(top)), y1 = clamp_coordinate(std::ceil(bottom));
  std::vector<DeviceSpan> spans;
  for (int y = std::max(y0, 0); y < std::min(y1, surface_height); ++y) spans.push_back(DeviceSpan{y, x0, x1});
  return spans;
}

void fill_area(DeviceContext& dc, const DevicePath& area, FillRule rule, const BrushSpec& brush) {
  if (auto spans = box_spans(area, dc.surface().height)) {
    paint_spans(dc, *spans, brush);
    return;
  }
  agg::path_storage fill = fill_geometry(area);
  fill_path_aliased(dc, fill, rule, brush);
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
    fill_area(dc, area, rule, s.brush_spec);
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
  fill_area(dc, path, poly_fill_rule(dc), brush);
}

void stroke_device_path(DeviceContext& dc, const DevicePath& path) {
  stroke_outline(dc, path, dc.state().pen_spec, DeviceMapping(dc).scale());
}

}  // namespace velmora::platform
