// Lines, polygons, rectangles, ellipses, arcs, pixels and flood fills. WMF
// coordinates are 16-bit, so the poly records always fit the EMF 16-bit
// forms. Rectangle-like records list their coordinates last to first
// (bottom, right, top, left); the EMF forms list them first to last.
#include "wmf/conversion.h"
#include "wmf/wmf_records.h"

#include <algorithm>

namespace velmora::platform::wmf {
namespace {

// Box records give bottom, right, top, left.
RECTL box_of(const std::array<std::int16_t, 4>& p) { return {p[3], p[2], p[1], p[0]}; }

void include_box(Conversion& c, const RECTL& box) { c.include_shape_box(box.left, box.top, box.right, box.bottom); }

RECTL bounds_of(std::span<const POINTS> points) {
  RECTL b{points.front().x, points.front().y, points.front().x, points.front().y};
  for (const POINTS& p : points) {
    b = {std::min<LONG>(b.left, p.x), std::min<LONG>(b.top, p.y), std::max<LONG>(b.right, p.x),
         std::max<LONG>(b.bottom, p.y)};
  }
  return b;
}

// `count` points of x, y pairs; nothing when the record holds fewer.
std::optional<std::vector<POINTS>> read_points(ByteReader& reader, std::size_t count) {
  if (reader.remaining() / 4 < count) return std::nullopt;
  std::vector<POINTS> points(count);
  for (POINTS& p : points) {
    p.x = *reader.read<std::int16_t>();
    p.y = *reader.read<std::int16_t>();
  }
  return points;
}

void put_points(EmfRecord& record, std::span<const POINTS> points) {
  for (const POINTS& p : points) record.i16(p.x).i16(p.y);
}

// Polygon and Polyline: NumberofPoints, then the points.
template <std::uint32_t EmfType>
void convert_poly(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto count = params.read<std::uint16_t>();
  if (!count || *count == 0) return;
  const auto points = read_points(params, *count);
  if (!points) return;
  const RECTL bounds = bounds_of(*points);
  c.include_rect(bounds.left, bounds.top, bounds.right, bounds.bottom);  // the points themselves
  EmfRecord poly(EmfType);
  poly.rect(bounds).u32(*count);
  put_points(poly, *points);
  c.emit(std::move(poly));
}

// PolyPolygon: NumberofPolygons, the point count of each, then all points.
void convert_poly_polygon(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto polygons = params.read<std::uint16_t>();
  if (!polygons || *polygons == 0 || params.remaining() / 2 < *polygons) return;
  std::vector<std::uint16_t> counts(*polygons);
  std::size_t total = 0;
  for (std::uint16_t& n : counts) {
    n = *params.read<std::uint16_t>();
    total += n;
  }
  const auto points = total == 0 ? std::nullopt : read_points(params, total);
  if (!points) return;
  const RECTL bounds = bounds_of(*points);
  c.include_rect(bounds.left, bounds.top, bounds.right, bounds.bottom);  // the points themselves
  EmfRecord poly(EMR_POLYPOLYGON16);
  poly.rect(bounds).u32(*polygons).u32(static_cast<std::uint32_t>(total));
  for (std::uint16_t n : counts) poly.u32(n);
  put_points(poly, *points);
  c.emit(std::move(poly));
}

// Rectangle and Ellipse: the box.
template <std::uint32_t EmfType>
void convert_box(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto p = read_i16<4>(params);
  if (!p) return;
  const RECTL box = box_of(*p);
  include_box(c, box);
  c.emit(std::move(EmfRecord(EmfType).rect(box)));
}

// RoundRect: Height, Width of the corner ellipse, then the box.
void convert_round_rect(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto corner = read_i16<2>(params);
  const auto p = read_i16<4>(params);
  if (!corner || !p) return;
  const RECTL box = box_of(*p);
  include_box(c, box);
  c.emit(std::move(EmfRecord(EMR_ROUNDRECT).rect(box).i32((*corner)[1]).i32((*corner)[0])));
}

// Arc, Chord and Pie: YEnd, XEnd, YStart, XStart, then the box.
template <std::uint32_t EmfType>
void convert_arc(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto ends = read_i16<4>(params);
  const auto p = read_i16<4>(params);
  if (!ends || !p) return;
  const RECTL box = box_of(*p);
  include_box(c, box);
  EmfRecord arc(EmfType);
  arc.rect(box).i32((*ends)[3]).i32((*ends)[2]).i32((*ends)[1]).i32((*ends)[0]);
  c.emit(std::move(arc));
}

// MoveTo and LineTo: Y, X.
template <std::uint32_t EmfType>
void convert_point(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.include((*yx)[1], (*yx)[0]);
  c.emit(std::move(EmfRecord(EmfType).i32((*yx)[1]).i32((*yx)[0])));
}

// SetPixel: ColorRef, Y, X.
void convert_set_pixel(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto color = params.read<std::uint32_t>();
  const auto yx = read_i16<2>(params);
  if (!color || !yx) return;
  c.include((*yx)[1], (*yx)[0]);
  c.emit(std::move(EmfRecord(EMR_SETPIXELV).i32((*yx)[1]).i32((*yx)[0]).u32(c.color(*color))));
}

// FloodFill: ColorRef, Y, X (a border fill); ExtFloodFill: Mode, ColorRef, Y, X.
void emit_flood_fill(Conversion& c, std::uint32_t color, const std::array<std::int16_t, 2>& yx, std::uint32_t mode) {
  c.include(yx[1], yx[0]);
  c.emit(std::move(EmfRecord(EMR_EXTFLOODFILL).i32(yx[1]).i32(yx[0]).u32(c.color(color)).u32(mode)));
}

void convert_flood_fill(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto color = params.read<std::uint32_t>();
  const auto yx = read_i16<2>(params);
  if (color && yx) emit_flood_fill(c, *color, *yx, 0 /* FLOODFILLBORDER */);
}

void convert_ext_flood_fill(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto mode = params.read<std::uint16_t>();
  const auto color = params.read<std::uint32_t>();
  const auto yx = read_i16<2>(params);
  if (mode && color && yx) emit_flood_fill(c, *color, *yx, *mode);
}

constexpr ConverterEntry kConverters[] = {
    {META_POLYGON, convert_poly<EMR_POLYGON16>},
    {META_POLYLINE, convert_poly<EMR_POLYLINE16>},
    {META_POLYPOLYGON, convert_poly_polygon},
    {META_RECTANGLE, convert_box<EMR_RECTANGLE>},
    {META_ELLIPSE, convert_box<EMR_ELLIPSE>},
    {META_ROUNDRECT, convert_round_rect},
    {META_ARC, convert_arc<EMR_ARC>},
    {META_CHORD, convert_arc<EMR_CHORD>},
    {META_PIE, convert_arc<EMR_PIE>},
    {META_MOVETO, convert_point<EMR_MOVETOEX>},
    {META_LINETO, convert_point<EMR_LINETO>},
    {META_SETPIXEL, convert_set_pixel},
    {META_FLOODFILL, convert_flood_fill},
    {META_EXTFLOODFILL, convert_ext_flood_fill},
};

}  // namespace

std::span<const ConverterEntry> shape_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
