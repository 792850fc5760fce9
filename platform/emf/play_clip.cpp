// The clipping records and the region-painting records. Clip rectangles come
// in logical units and become device rectangles through their two corners;
// regions come in device units of the reference device and are moved onto
// the surface by the record-to-device transform, whatever the world and page
// transforms are.
#include "common/limits.h"
#include "emf/record_fields.h"
#include "emf/record_handlers.h"
#include "emf/region_data.h"
#include "gdi/dc_clip.h"
#include "gdi/visible_curves.h"
#include "gdi/dc_paint.h"
#include "region/region_builder.h"

#include <agg_conv_curve.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora::platform {
namespace {

using limits::kMaxFrameStroke;

// A device coordinate rounded to the nearest pixel edge, kept in range
// (a NaN from a degenerate transform counts as 0).
LONG device_coordinate(double v) {
  const double limit = kMaxRegionCoordinate;
  return static_cast<LONG>(std::lround(std::isnan(v) ? 0.0 : std::clamp(v, -limit, limit)));
}

POINT device_point(const agg::trans_affine& m, double x, double y) {
  m.transform(&x, &y);
  return POINT{device_coordinate(x), device_coordinate(y)};
}

// A logical rectangle as the device rectangle between its mapped corners.
// Under rotation this is the box of those two corners, not the turned
// rectangle, as the reference player does.
RECT device_rect(const DeviceContext& dc, const RECT& logical) {
  const agg::trans_affine m = dc.logical_to_device();
  const POINT a = device_point(m, logical.left, logical.top);
  const POINT b = device_point(m, logical.right, logical.bottom);
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void on_intersect_clip_rect(Playback& p, ByteReader body) {
  if (auto rect = read_rectl(body)) intersect_clip_rect(p.dc(), device_rect(p.dc(), *rect));
}

void on_exclude_clip_rect(Playback& p, ByteReader body) {
  if (auto rect = read_rectl(body)) exclude_clip_rect(p.dc(), device_rect(p.dc(), *rect));
}

// The offset is applied in device pixels, unscaled by any transform, as the
// reference player does.
void on_offset_clip_rgn(Playback& p, ByteReader body) {
  if (auto offset = read_pointl(body)) offset_clip(p.dc(), offset->x, offset->y);
}

void on_set_meta_rgn(Playback& p, ByteReader) { set_meta_region(p.dc()); }

// RGN_COPY without region data selects the default (no) clip region.
void on_ext_select_clip_rgn(Playback& p, ByteReader body) {
  auto size = body.read<std::uint32_t>();
  auto mode = body.read<std::uint32_t>();
  if (!size || !mode) return;
  if (*mode == RGN_COPY && (*size == 0 || body.remaining() == 0)) {
    reset_clip(p.dc());
    return;
  }
  auto rects = read_region_data(body, *size);
  if (!rects) return;
  combine_clip(p.dc(), region_to_device(*rects, p.dc().record_to_device()), static_cast<int>(*mode));
}

// The finished path's figures, flattened, as device polygons. Huge curves
// are culled against the surface grown by its own size, as a clip may
// later be moved by an offset.
std::vector<std::vector<DevicePoint>> path_polygons(const DevicePath& path, const Surface& surface) {
  const agg::rect_d visible = visible_box(surface, std::max(surface.width, surface.height));
  agg::path_storage storage = path.to_agg(&visible);
  agg::conv_curve<agg::path_storage> curves(storage);
  std::vector<std::vector<DevicePoint>> polygons;
  double x = 0;
  double y = 0;
  unsigned command;
  curves.rewind(0);
  while (!agg::is_stop(command = curves.vertex(&x, &y))) {
    if (agg::is_move_to(command)) polygons.emplace_back();
    if (agg::is_vertex(command) && !polygons.empty()) polygons.back().push_back(DevicePoint{x, y});
  }
  return polygons;
}

void on_select_clip_path(Playback& p, ByteReader body) {
  auto mode = body.read<std::uint32_t>();
  DeviceContext& dc = p.dc();
  if (!mode || dc.path().state() != DevicePath::State::Closed) return;
  const FillRule rule = dc.state().fill_mode == WINDING ? FillRule::NonZero : FillRule::EvenOdd;
  const Region region = Region::from_device_polygons(path_polygons(dc.path(), dc.surface()), rule);
  if (combine_clip(dc, region, static_cast<int>(*mode))) dc.path().abort();
}

// The fields every region-painting record starts with: the bounds (unused:
// the region says where it paints) and the size of the region data.
struct RegionRecord {
  std::uint32_t data_size = 0;
};

std::optional<RegionRecord> read_region_record(ByteReader& body) {
  if (!read_rectl(body)) return std::nullopt;
  auto size = body.read<std::uint32_t>();
  if (!size) return std::nullopt;
  return RegionRecord{*size};
}

std::optional<Region> read_device_region(Playback& p, ByteReader& body, std::uint32_t size) {
  auto rects = read_region_data(body, size);
  if (!rects) return std::nullopt;
  return region_to_device(*rects, p.dc().record_to_device());
}

const BrushTraits* brush_at(const Playback& p, std::uint32_t index) {
  const Brush* brush = lookup<Brush>(p.object_at(index));
  return brush ? &brush->traits() : nullptr;
}

void on_fill_rgn(Playback& p, ByteReader body) {
  auto record = read_region_record(body);
  auto brush_index = body.read<std::uint32_t>();
  if (!record || !brush_index) return;
  const BrushTraits* brush = brush_at(p, *brush_index);
  auto region = read_device_region(p, body, record->data_size);
  if (brush && region) paint_region(p.dc(), *region, *brush);
}

void on_paint_rgn(Playback& p, ByteReader body) {
  auto record = read_region_record(body);
  if (!record) return;
  if (auto region = read_device_region(p, body, record->data_size)) {
    paint_region(p.dc(), *region, p.dc().state().brush_traits);
  }
}

// InvertRgn turns every pixel of the region to its inverse, whatever the
// context's raster operation.
void on_invert_rgn(Playback& p, ByteReader body) {
  auto record = read_region_record(body);
  if (!record) return;
  auto region = read_device_region(p, body, record->data_size);
  if (!region) return;
  invert_region(p.dc(), *region);
}

// The pixels of a region that lie within (width, height) of its outside:
// the region less the part that stays inside when moved that far each way.
Region frame_of(const Region& region, int width, int height) {
  const Region inner = region.intersected(region.offset(width, 0))
                           .intersected(region.offset(-width, 0))
                           .intersected(region.offset(0, height))
                           .intersected(region.offset(0, -height));
  return region.subtracted(inner);
}

// A logical stroke length in device pixels along one axis, at least one.
int stroke_pixels(double length, double axis_x, double axis_y) {
  const double pixels = std::abs(length) * std::hypot(axis_x, axis_y);
  return static_cast<int>(std::clamp(std::lround(pixels), 1L, long{kMaxFrameStroke}));
}

void on_frame_rgn(Playback& p, ByteReader body) {
  auto record = read_region_record(body);
  auto brush_index = body.read<std::uint32_t>();
  auto stroke = read_sizel(body);
  if (!record || !brush_index || !stroke) return;
  const BrushTraits* brush = brush_at(p, *brush_index);
  auto region = read_device_region(p, body, record->data_size);
  if (!brush || !region) return;
  const agg::trans_affine m = p.dc().logical_to_device();
  const int width = stroke_pixels(stroke->cx, m.sx, m.shy);
  const int height = stroke_pixels(stroke->cy, m.shx, m.sy);
  paint_region(p.dc(), frame_of(*region, width, height), *brush);
}

}  // namespace

void register_clip_handlers(HandlerTable& table) {
  table.add(EMR_INTERSECTCLIPRECT, on_intersect_clip_rect);
  table.add(EMR_EXCLUDECLIPRECT, on_exclude_clip_rect);
  table.add(EMR_OFFSETCLIPRGN, on_offset_clip_rgn);
  table.add(EMR_SETMETARGN, on_set_meta_rgn);
  table.add(EMR_EXTSELECTCLIPRGN, on_ext_select_clip_rgn);
  table.add(EMR_SELECTCLIPPATH, on_select_clip_path);
  table.add(EMR_FILLRGN, on_fill_rgn);
  table.add(EMR_FRAMERGN, on_frame_rgn);
  table.add(EMR_INVERTRGN, on_invert_rgn);
  table.add(EMR_PAINTRGN, on_paint_rgn);
}

}  // namespace velmora::platform
