// Regions: META_CREATEREGION (MS-WMF 2.3.4.6, its Region object 2.2.1.5)
// holds a table slot but has no EMF object; the records that use a region
// carry its rectangles instead, as RGNDATA (MS-EMF 2.2.24). Regions are in
// logical units, as recorded; the clip takes them in device units.
#include "wmf/convert_objects.h"
#include "wmf/wmf_records.h"

#include <algorithm>
#include <cmath>

namespace velmora::platform::wmf {
namespace {

// Region object fields before its scans: nextInChain, ObjectType,
// ObjectCount (4 bytes), RegionSize, ScanCount, maxScan, BoundingRectangle.
constexpr std::size_t kRegionHeaderBytes = 22;
constexpr std::size_t kScanCountOffset = 10;
constexpr std::uint32_t kRgnDataHeaderBytes = 32;  // RGNDATAHEADER
constexpr std::uint32_t kRectangles = 1;           // RDH_RECTANGLES

// One scan: Count, Top, Bottom, Count/2 pairs of Left and Right, Count2.
bool read_scan(ByteReader& reader, std::vector<RECTL>& rects) {
  const auto count = reader.read<std::uint16_t>();
  const auto top = reader.read<std::int16_t>();
  const auto bottom = reader.read<std::int16_t>();
  if (!count || !top || !bottom) return false;
  for (std::uint16_t i = 0; i < *count / 2; ++i) {
    const auto left_right = read_i16<2>(reader);
    if (!left_right) return false;
    rects.push_back({(*left_right)[0], *top, (*left_right)[1], *bottom});
  }
  return reader.skip(2);
}

std::optional<std::vector<RECTL>> read_region(ByteReader params) {
  const auto scans = params.read_at<std::uint16_t>(kScanCountOffset);
  if (!scans || !params.skip(kRegionHeaderBytes)) return std::nullopt;
  std::vector<RECTL> rects;
  for (std::uint16_t i = 0; i < *scans; ++i) {
    if (!read_scan(params, rects)) return std::nullopt;
  }
  return rects;
}

RECTL bounds_of(const std::vector<RECTL>& rects) {
  if (rects.empty()) return {0, 0, 0, 0};
  RECTL b = rects.front();
  for (const RECTL& r : rects) {
    b = {std::min(b.left, r.left), std::min(b.top, r.top), std::max(b.right, r.right), std::max(b.bottom, r.bottom)};
  }
  return b;
}

std::uint32_t rgn_data_bytes(const std::vector<RECTL>& rects) {
  return kRgnDataHeaderBytes + static_cast<std::uint32_t>(rects.size() * sizeof(RECTL));
}

void put_rgn_data(EmfRecord& record, const std::vector<RECTL>& rects) {
  record.u32(kRgnDataHeaderBytes).u32(kRectangles).u32(static_cast<std::uint32_t>(rects.size()));
  record.u32(static_cast<std::uint32_t>(rects.size() * sizeof(RECTL))).rect(bounds_of(rects));
  for (const RECTL& r : rects) record.rect(r);
}

std::vector<RECTL> to_device(const std::vector<RECTL>& rects, const DeviceMapping& mapping) {
  std::vector<RECTL> out;
  out.reserve(rects.size());
  for (const RECTL& r : rects) {
    const DevicePoint a = mapping.to_device(r.left, r.top);
    const DevicePoint b = mapping.to_device(r.right, r.bottom);
    out.push_back({device_coordinate(std::min(a.x, b.x)), device_coordinate(std::min(a.y, b.y)),
                   device_coordinate(std::max(a.x, b.x)), device_coordinate(std::max(a.y, b.y))});
  }
  return out;
}

const WmfObject* region_at(Conversion& c, std::uint16_t slot) {
  const WmfObject* object = c.objects().find(slot);
  return object && object->kind == ObjectKind::Region ? object : nullptr;
}

bool is_brush(Conversion& c, std::uint16_t slot) {
  const WmfObject* object = c.objects().find(slot);
  return object && object->kind == ObjectKind::Brush;
}

void include_region(Conversion& c, const std::vector<RECTL>& rects) {
  const RECTL b = bounds_of(rects);
  if (!rects.empty()) c.include_rect(b.left, b.top, b.right, b.bottom);
}

// SELECTCLIPREGION of a slot without a region resets the clip, as
// SelectClipRgn with no region does.
void convert_select_clip_region(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto slot = params.read<std::uint16_t>();
  if (!slot) return;
  if (const WmfObject* region = region_at(c, *slot)) return select_clip_region(*region, c);
  c.emit(std::move(EmfRecord(EMR_EXTSELECTCLIPRGN).u32(0).u32(RGN_COPY)));
}

// FillRegion: Region, Brush.
void convert_fill_region(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto slots = read_i16<2>(params);
  if (!slots) return;
  const auto region_slot = static_cast<std::uint16_t>((*slots)[0]);
  const auto brush_slot = static_cast<std::uint16_t>((*slots)[1]);
  const WmfObject* region = region_at(c, region_slot);
  if (!region || !is_brush(c, brush_slot)) return;
  EmfRecord fill(EMR_FILLRGN);
  fill.rect(bounds_of(region->region)).u32(rgn_data_bytes(region->region)).u32(ObjectTable::emf_index(brush_slot));
  put_rgn_data(fill, region->region);
  include_region(c, region->region);
  c.emit(std::move(fill));
}

// FrameRegion: Region, Brush, Height, Width.
void convert_frame_region(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto p = read_i16<4>(params);
  if (!p) return;
  const auto region_slot = static_cast<std::uint16_t>((*p)[0]);
  const auto brush_slot = static_cast<std::uint16_t>((*p)[1]);
  const WmfObject* region = region_at(c, region_slot);
  if (!region || !is_brush(c, brush_slot)) return;
  EmfRecord frame(EMR_FRAMERGN);
  frame.rect(bounds_of(region->region)).u32(rgn_data_bytes(region->region)).u32(ObjectTable::emf_index(brush_slot));
  frame.i32((*p)[3]).i32((*p)[2]);
  put_rgn_data(frame, region->region);
  include_region(c, region->region);
  c.emit(std::move(frame));
}

// InvertRegion and PaintRegion: Region only.
template <std::uint32_t EmfType>
void convert_region_only(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto slot = params.read<std::uint16_t>();
  if (!slot) return;
  const WmfObject* region = region_at(c, *slot);
  if (!region) return;
  EmfRecord paint(EmfType);
  paint.rect(bounds_of(region->region)).u32(rgn_data_bytes(region->region));
  put_rgn_data(paint, region->region);
  include_region(c, region->region);
  c.emit(std::move(paint));
}

constexpr ConverterEntry kConverters[] = {
    {META_SELECTCLIPREGION, convert_select_clip_region},
    {META_FILLREGION, convert_fill_region},
    {META_FRAMEREGION, convert_frame_region},
    {META_INVERTREGION, convert_region_only<EMR_INVERTRGN>},
    {META_PAINTREGION, convert_region_only<EMR_PAINTRGN>},
};

}  // namespace

void convert_create_region(const WmfRecord& record, Conversion& c) {
  auto rects = read_region(record.params);
  if (!rects) return add_unused_object(c);
  WmfObject region;
  region.kind = ObjectKind::Region;
  region.region = std::move(*rects);
  add_object(c, std::move(region));
}

void select_clip_region(const WmfObject& region, Conversion& c) {
  const std::vector<RECTL> device = to_device(region.region, c.mapping());
  EmfRecord clip(EMR_EXTSELECTCLIPRGN);
  clip.u32(rgn_data_bytes(device)).u32(RGN_COPY);
  put_rgn_data(clip, device);
  c.emit(std::move(clip));
}

std::span<const ConverterEntry> region_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
