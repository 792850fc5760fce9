// Line and polygon records: MoveTo/LineTo, the poly* records in their 16-
// and 32-bit forms, PolyDraw and SetPixelV.
#include "emf/drawing.h"
#include "emf/record_fields.h"
#include "emf/record_handlers.h"
#include "gdi/dc_paint.h"

namespace velmora::platform {
namespace {

using Kind = DevicePath::Kind;

// Bounds (ignored), count, then the points.
std::optional<std::vector<POINT>> read_poly(ByteReader& body, bool sixteen_bit) {
  if (!body.skip(16)) return std::nullopt;
  auto count = body.read<std::uint32_t>();
  if (!count) return std::nullopt;
  return read_point_array(body, *count, sixteen_bit);
}

void add_point(DevicePath& path, const DeviceMapping& map, POINT p, Kind kind) {
  const POINT d = map.point(p.x, p.y);
  path.add(d.x, d.y, kind);
}

// Points joined by lines; Béziers when `bezier` (a start point, then
// triples; an incomplete last triple is ignored).
void add_figure(DevicePath& path, const DeviceMapping& map, const std::vector<POINT>& points, bool bezier) {
  if (points.empty()) return;
  const std::size_t end = bezier ? 1 + (points.size() - 1) / 3 * 3 : points.size();
  for (std::size_t i = 0; i < end; ++i) {
    add_point(path, map, points[i], i == 0 ? Kind::MoveTo : bezier ? Kind::BezierTo : Kind::LineTo);
  }
}

template <bool kSixteen>
void on_polygon(Playback& p, ByteReader body) {
  auto points = read_poly(body, kSixteen);
  if (!points || points->size() < 2) return;
  DeviceMapping map(p.dc());
  DevicePath shape;
  add_figure(shape, map, *points, false);
  shape.close_figure();
  draw_closed(p.dc(), shape, poly_fill_rule(p.dc()));
}

template <bool kSixteen, bool kBezier>
void on_polyline(Playback& p, ByteReader body) {
  auto points = read_poly(body, kSixteen);
  if (!points || points->size() < 2) return;
  DevicePath lines;
  add_figure(lines, DeviceMapping(p.dc()), *points, kBezier);
  draw_open(p.dc(), lines);
}

// The "To" forms start at the current position and move it to their last point.
template <bool kSixteen, bool kBezier>
void on_polyline_to(Playback& p, ByteReader body) {
  auto points = read_poly(body, kSixteen);
  if (!points || points->empty()) return;
  POINT& current = p.dc().state().current_position;
  points->insert(points->begin(), current);
  DevicePath lines;
  add_figure(lines, DeviceMapping(p.dc()), *points, kBezier);
  draw_open(p.dc(), lines);
  current = points->back();
}

void on_line_to(Playback& p, ByteReader body) {
  auto to = read_pointl(body);
  if (!to) return;
  POINT& current = p.dc().state().current_position;
  DevicePath line;
  add_figure(line, DeviceMapping(p.dc()), {current, *to}, false);
  draw_open(p.dc(), line);
  current = *to;
}

// Bounds, polygon count, total point count, the counts, then the points.
std::optional<std::vector<std::vector<POINT>>> read_poly_poly(ByteReader& body, bool sixteen_bit) {
  if (!body.skip(16)) return std::nullopt;
  auto groups = body.read<std::uint32_t>();
  auto total = body.read<std::uint32_t>();
  if (!groups || !total) return std::nullopt;
  auto counts = read_dword_array(body, *groups);
  auto points = read_point_array(body, *total, sixteen_bit);
  if (!counts || !points) return std::nullopt;
  std::vector<std::vector<POINT>> polys;
  std::size_t next = 0;
  for (DWORD n : *counts) {
    if (n > points->size() - next) return std::nullopt;
    polys.emplace_back(points->begin() + static_cast<std::ptrdiff_t>(next),
                       points->begin() + static_cast<std::ptrdiff_t>(next + n));
    next += n;
  }
  return polys;
}

template <bool kSixteen>
void on_poly_polygon(Playback& p, ByteReader body) {
  auto polys = read_poly_poly(body, kSixteen);
  if (!polys) return;
  DeviceMapping map(p.dc());
  DevicePath shape;
  for (const auto& poly : *polys) {
    if (poly.size() < 2) continue;
    add_figure(shape, map, poly, false);
    shape.close_figure();
  }
  draw_closed(p.dc(), shape, poly_fill_rule(p.dc()));
}

template <bool kSixteen>
void on_poly_polyline(Playback& p, ByteReader body) {
  auto polys = read_poly_poly(body, kSixteen);
  if (!polys) return;
  DeviceMapping map(p.dc());
  DevicePath lines;
  for (const auto& poly : *polys) {
    if (poly.size() >= 2) add_figure(lines, map, poly, false);
  }
  draw_open(p.dc(), lines);
}

// EMR_POLYDRAW: bounds, count, the points, then one PT_* byte per point.
template <bool kSixteen>
void on_poly_draw(Playback& p, ByteReader body) {
  auto points = read_poly(body, kSixteen);
  if (!points) return;
  auto types = body.bytes(points->size());
  if (!types) return;
  DeviceMapping map(p.dc());
  POINT& current = p.dc().state().current_position;
  DevicePath figures;
  add_point(figures, map, current, Kind::MoveTo);
  for (std::size_t i = 0; i < points->size(); ++i) {
    const std::uint8_t type = (*types)[i];
    const Kind kind = (type & 0x06) == 0x06 ? Kind::MoveTo : (type & 0x04) ? Kind::BezierTo : Kind::LineTo;
    add_point(figures, map, (*points)[i], kind);
    if ((type & 0x01) && kind != Kind::MoveTo) figures.close_figure();  // PT_CLOSEFIGURE
  }
  draw_open(p.dc(), figures);
  if (!points->empty()) current = points->back();
}

// EMR_SETPIXELV: the point, then the colour. Not subject to ROP2.
void on_set_pixel(Playback& p, ByteReader body) {
  auto at = read_pointl(body);
  auto color = body.read<std::uint32_t>();
  if (!at || !color) return;
  const POINT d = DeviceMapping(p.dc()).point(at->x, at->y);
  set_pixel(p.dc(), d.x, d.y, *color);
}

}  // namespace

void register_curve_handlers(HandlerTable& table);

void register_shape_handlers(HandlerTable& table) {
  table.add(EMR_LINETO, on_line_to);
  table.add(EMR_POLYGON, on_polygon<false>);
  table.add(EMR_POLYGON16, on_polygon<true>);
  table.add(EMR_POLYLINE, on_polyline<false, false>);
  table.add(EMR_POLYLINE16, on_polyline<true, false>);
  table.add(EMR_POLYBEZIER, on_polyline<false, true>);
  table.add(EMR_POLYBEZIER16, on_polyline<true, true>);
  table.add(EMR_POLYLINETO, on_polyline_to<false, false>);
  table.add(EMR_POLYLINETO16, on_polyline_to<true, false>);
  table.add(EMR_POLYBEZIERTO, on_polyline_to<false, true>);
  table.add(EMR_POLYBEZIERTO16, on_polyline_to<true, true>);
  table.add(EMR_POLYPOLYGON, on_poly_polygon<false>);
  table.add(EMR_POLYPOLYGON16, on_poly_polygon<true>);
  table.add(EMR_POLYPOLYLINE, on_poly_polyline<false>);
  table.add(EMR_POLYPOLYLINE16, on_poly_polyline<true>);
  table.add(EMR_POLYDRAW, on_poly_draw<false>);
  table.add(EMR_POLYDRAW16, on_poly_draw<true>);
  table.add(EMR_SETPIXELV, on_set_pixel);
  register_curve_handlers(table);
}

}  // namespace velmora::platform
