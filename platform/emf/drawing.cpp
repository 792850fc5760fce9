#include "emf/drawing.h"

#include "common/limits.h"
#include "gdi/visible_curves.h"
#include "raster/painter.h"
#include "raster/stroke.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace velmora::platform {
namespace {

constexpr auto kCoordinateLimit = limits::kMaxPathCoordinate;

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
// Beyond the rasterizer's own clip margin, so that culled curves change nothing it samples.
constexpr double kFillMargin = 4;

agg::path_storage fill_geometry(const DevicePath& area, const Surface& surface) {
  const agg::rect_d visible = visible_box(surface, kFillMargin);
  agg::path_storage path = area.to_agg(&visible);
  path.translate(kFillShift, kFillShift);
  return path;
}

// Areas made only of axis-aligned rectangles that do not overlap are
// painted as spans: their corner pixels cover only a quarter of an
// area-sampled pixel, yet GDI takes the top-left one. More figures than
// this go to the rasterizer (the overlap test is quadratic).
constexpr std::size_t kMaxBoxFigures = 256;

// The pixels of one figure [first, last) when it is an axis-aligned
// rectangle (four or five points, either turn): pixel x is inside when
// left <= x < right, and likewise for rows.
std::optional<RECT> figure_box(const std::vector<DevicePath::Vertex>& v, std::size_t first, std::size_t last) {
  const std::size_t n = last - first;
  if (n < 4 || n > 5) return std::nullopt;
  const auto* p = &v[first];
  for (std::size_t i = 1; i < n; ++i) {
    if (p[i].kind != DevicePath::Kind::LineTo) return std::nullopt;
  }
  if (n == 5 && (p[4].x != p[0].x || p[4].y != p[0].y)) return std::nullopt;
  const bool horizontal_first = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
  const bool vertical_first = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
  if (!horizontal_first && !vertical_first) return std::nullopt;
  return RECT{
      clamp_coordinate(std::ceil(std::min(p[0].x, p[2].x))), clamp_coordinate(std::ceil(std::min(p[0].y, p[2].y))),
      clamp_coordinate(std::ceil(std::max(p[0].x, p[2].x))), clamp_coordinate(std::ceil(std::max(p[0].y, p[2].y)))};
}

bool overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::optional<std::vector<RECT>> disjoint_boxes(const DevicePath& area) {
  const auto& v = area.vertices();
  std::vector<RECT> boxes;
  for (std::size_t first = 0; first < v.size();) {
    std::size_t last = first + 1;
    while (last < v.size() && v[last].kind != DevicePath::Kind::MoveTo) ++last;
    auto box = figure_box(v, first, last);
    if (!box || boxes.size() >= kMaxBoxFigures) return std::nullopt;
    for (const RECT& other : boxes) {
      if (overlap(*box, other)) return std::nullopt;
    }
    boxes.push_back(*box);
    first = last;
  }
  return boxes;
}

void paint_boxes(DeviceContext& dc, const std::vector<RECT>& boxes, const BrushTraits& brush) {
  const int height = dc.surface().height;
  std::vector<DeviceSpan> spans;
  for (const RECT& b : boxes) {
    for (int y = std::max<int>(b.top, 0); y < std::min<int>(b.bottom, height); ++y) {
      spans.push_back(DeviceSpan{y, b.left, b.right});
    }
  }
  paint_spans(dc, spans, brush);
}

void fill_area(DeviceContext& dc, const DevicePath& area, FillRule rule, const BrushTraits& brush) {
  if (auto boxes = disjoint_boxes(area)) {
    paint_boxes(dc, *boxes, brush);
    return;
  }
  agg::path_storage fill = fill_geometry(area, dc.surface());
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
