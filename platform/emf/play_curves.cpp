// Box-based records: rectangles, rounded rectangles, ellipses, arcs, chords,
// pies, ArcTo and AngleArc.
//
// Under an axis-aligned transform the box is mapped and rounded first and
// the shape built in device pixels, as GDI does: a rectangle fills pixels
// [left, right) x [top, bottom) and its outline, as in the advanced
// graphics mode metafiles play in, covers the right and bottom edges too;
// curved outlines run on the pixels just inside the box (right - 1,
// bottom - 1) and their areas reach half a pixel beyond those outlines.
// Under rotation or shear the shape is built in logical space and mapped
// point by point.
#include "emf/drawing.h"
#include "emf/record_fields.h"
#include "emf/record_handlers.h"
#include "emf/shape_geometry.h"
#include "gdi/dc_paint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora::platform {
namespace {

// The two boxes of one shape and the transform that maps them to the device.
struct ShapeFrame {
  Box area;         // a rectangle's fill
  Box curved_area;  // the fill of ellipses, chords, pies and rounded rectangles
  Box outline;
  agg::trans_affine to_device;  // identity when the boxes are already device pixels
  double x_scale = 1.0;         // logical units to the boxes' units, for corner sizes and points
  double y_scale = 1.0;
};

POINT rounded_point(double x, double y) {
  const auto whole = [](double v) { return static_cast<LONG>(std::clamp(std::round(v), -2147483648.0, 2147483647.0)); };
  return POINT{whole(x), whole(y)};
}

// Half the wide pen's width inside the box for PS_INSIDEFRAME.
double inside_frame_inset(const DeviceContext& dc, double scale) {
  const PenTraits& pen = dc.state().pen_traits;
  if (pen.line_style() != PS_INSIDEFRAME || draws_cosmetic(pen, scale)) return 0.0;
  return std::floor(device_pen_width(pen, scale) / 2.0);
}

std::optional<ShapeFrame> frame_of(const DeviceContext& dc, const RECT& r) {
  const DeviceMapping map(dc);
  ShapeFrame f;
  if (!map.axis_aligned()) {
    f.area = f.curved_area = f.outline = Box{double(r.left), double(r.top), double(r.right), double(r.bottom)};
    f.to_device = map.transform();
    return f;
  }
  const POINT a = map.point(r.left, r.top), b = map.point(r.right, r.bottom);
  const double inset = inside_frame_inset(dc, map.scale());
  const double l = std::min(a.x, b.x) + inset, rr = std::max(a.x, b.x) - inset;
  const double t = std::min(a.y, b.y) + inset, bb = std::max(a.y, b.y) - inset;
  if (rr <= l || bb <= t) return std::nullopt;
  f.area = Box{l, t, rr, bb};
  f.curved_area = Box{l - 0.5, t - 0.5, rr - 0.5, bb - 0.5};
  f.outline = Box{l, t, rr - 1, bb - 1};
  f.x_scale = std::abs(map.transform().sx);
  f.y_scale = std::abs(map.transform().sy);
  return f;
}

// A logical point in the frame's units.
void frame_point(const DeviceContext& dc, const ShapeFrame& f, POINT p, double& x, double& y) {
  x = p.x;
  y = p.y;
  if (f.to_device.is_identity()) {
    const POINT d = DeviceMapping(dc).point(p.x, p.y);
    x = d.x;
    y = d.y;
  }
}

void on_rectangle(Playback& p, ByteReader body) {
  auto r = read_rectl(body);
  if (!r) return;
  auto f = frame_of(p.dc(), *r);
  if (!f) return;
  DevicePath area, outline;
  append_box(area, f->area, f->to_device);
  append_box(outline, f->area, f->to_device);
  draw_closed(p.dc(), area, outline, FillRule::EvenOdd);
}

void on_ellipse(Playback& p, ByteReader body) {
  auto r = read_rectl(body);
  if (!r) return;
  auto f = frame_of(p.dc(), *r);
  if (!f) return;
  DevicePath area, outline;
  append_ellipse(area, f->curved_area, f->to_device);
  append_ellipse(outline, f->outline, f->to_device);
  draw_closed(p.dc(), area, outline, FillRule::NonZero);
}

// EMR_ROUNDRECT: the box, then the corner ellipse's width and height.
void on_round_rect(Playback& p, ByteReader body) {
  auto r = read_rectl(body);
  auto corner = read_sizel(body);
  if (!r || !corner) return;
  auto f = frame_of(p.dc(), *r);
  if (!f) return;
  const double w = std::round(corner->cx * f->x_scale), h = std::round(corner->cy * f->y_scale);
  DevicePath area, outline;
  append_round_rect(area, f->curved_area, w, h, f->to_device);
  append_round_rect(outline, f->outline, w, h, f->to_device);
  draw_closed(p.dc(), area, outline, FillRule::NonZero);
}

enum class ArcKind { Arc, ArcTo, Chord, Pie };

// One arc-based figure on a box: the arc between the radial points, closed
// as the kind asks.
void append_arc_figure(DevicePath& path, const DeviceContext& dc, const ShapeFrame& f, const Box& box, POINT start_at,
                       POINT end_at, ArcKind kind, bool new_figure) {
  const EllipseGeometry e = EllipseGeometry::inscribed(box);
  double sx, sy, ex, ey;
  frame_point(dc, f, start_at, sx, sy);
  frame_point(dc, f, end_at, ex, ey);
  const double start = e.angle_towards(sx, sy);
  const double sweep = arc_sweep(start, e.angle_towards(ex, ey), dc.state().arc_direction);
  append_arc(path, e, start, sweep, new_figure, f.to_device);
  if (kind == ArcKind::Pie) {
    double cx = e.cx, cy = e.cy;
    f.to_device.transform(&cx, &cy);
    path.add(cx, cy, DevicePath::Kind::LineTo);
  }
  if (kind == ArcKind::Chord || kind == ArcKind::Pie) path.close_figure();
}

// EMR_ARC, EMR_ARCTO, EMR_CHORD, EMR_PIE: the box, the start and end radial points.
template <ArcKind kKind>
void on_arc(Playback& p, ByteReader body) {
  auto r = read_rectl(body);
  auto start_at = read_pointl(body);
  auto end_at = read_pointl(body);
  if (!r || !start_at || !end_at) return;
  auto f = frame_of(p.dc(), *r);
  if (!f) return;
  DeviceContext& dc = p.dc();
  DevicePath outline;
  const bool joins_current = kKind == ArcKind::ArcTo;
  if (joins_current) {
    const POINT cp = DeviceMapping(dc).point(dc.state().current_position.x, dc.state().current_position.y);
    outline.add(cp.x, cp.y, DevicePath::Kind::MoveTo);
  }
  append_arc_figure(outline, dc, *f, f->outline, *start_at, *end_at, kKind, !joins_current);
  if (kKind == ArcKind::Arc || kKind == ArcKind::ArcTo) {
    draw_open(dc, outline);
  } else {
    DevicePath area;
    append_arc_figure(area, dc, *f, f->curved_area, *start_at, *end_at, kKind, true);
    draw_closed(dc, area, outline, FillRule::NonZero);
  }
  if (joins_current && !outline.vertices().empty()) {
    // The current position moves to the arc's end, back in logical units.
    double x = outline.vertices().back().x, y = outline.vertices().back().y;
    agg::trans_affine inverse = dc.logical_to_device();
    inverse.invert();
    inverse.transform(&x, &y);
    dc.state().current_position = rounded_point(x, y);
  }
}

// EMR_ANGLEARC: centre, radius, start angle and sweep in degrees. A line
// joins the current position to the arc, which then ends there.
void on_angle_arc(Playback& p, ByteReader body) {
  auto centre = read_pointl(body);
  auto radius = body.read<std::uint32_t>();
  auto start = body.read<float>();
  auto sweep = body.read<float>();
  if (!centre || !radius || !start || !sweep || !std::isfinite(*start) || !std::isfinite(*sweep)) return;
  DeviceContext& dc = p.dc();
  const double to_radians = std::numbers::pi / 180.0;
  const double r = std::min<double>(*radius, INT32_MAX);
  const EllipseGeometry e{double(centre->x), double(centre->y), r, r};
  const double sweep_radians = std::clamp<double>(*sweep, -360.0, 360.0) * to_radians;
  const DeviceMapping map(dc);
  DevicePath lines;
  const POINT cp = map.point(dc.state().current_position.x, dc.state().current_position.y);
  lines.add(cp.x, cp.y, DevicePath::Kind::MoveTo);
  append_arc(lines, e, *start * to_radians, sweep_radians, false, map.transform());
  draw_open(dc, lines);
  const double end = *start * to_radians + sweep_radians;
  dc.state().current_position = rounded_point(e.x_at(end), e.y_at(end));
}

}  // namespace

void register_curve_handlers(HandlerTable& table) {
  table.add(EMR_RECTANGLE, on_rectangle);
  table.add(EMR_ELLIPSE, on_ellipse);
  table.add(EMR_ROUNDRECT, on_round_rect);
  table.add(EMR_ARC, on_arc<ArcKind::Arc>);
  table.add(EMR_ARCTO, on_arc<ArcKind::ArcTo>);
  table.add(EMR_CHORD, on_arc<ArcKind::Chord>);
  table.add(EMR_PIE, on_arc<ArcKind::Pie>);
  table.add(EMR_ANGLEARC, on_angle_arc);
}

}  // namespace velmora::platform
