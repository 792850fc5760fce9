// The bitmap records that raster operations draw: BITBLT (PatBlt when it
// carries no bitmap), STRETCHBLT, STRETCHDIBITS and SETDIBITSTODEVICE, and
// the two pattern-brush records that embed a DIB. Field layouts are those
// of MS-EMF 2.3.1 and 2.3.7.
#include "emf/bitmap_records.h"
#include "emf/record_fields.h"
#include "emf/record_handlers.h"
#include "gdi/gdi_objects.h"

#include "gdi/dc_paint.h"
#include "raster/rop3.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace velmora::platform {
namespace {

struct DestRect {
  int x = 0, y = 0, cx = 0, cy = 0;
};

std::optional<DestRect> read_dest_rect(ByteReader& body) {
  auto x = body.read<std::int32_t>();
  auto y = body.read<std::int32_t>();
  auto cx = body.read<std::int32_t>();
  auto cy = body.read<std::int32_t>();
  if (!x || !y || !cx || !cy) return std::nullopt;
  return DestRect{*x, *y, *cx, *cy};
}

void draw(DeviceContext& dc, const Placement& placement, const MappedSource& mapped, DWORD rop) {
  const DcBrushPattern pattern(dc.state());
  const RopBlit op{rop, pattern.paints_nothing() ? nullptr : &pattern, dc.state().stretch_mode};
  blit(dc, mirrored(placement, mapped.mirror_x, mapped.mirror_y), mapped.source, op);
}

// A blit without a bitmap: the ROP combines only the brush and the destination.
void draw_pattern_only(DeviceContext& dc, const DestRect& dest, DWORD rop) {
  if (rop3_uses_source(rop3_index(rop))) return;  // the platform draws nothing then
  draw(dc, place_logical_rect(dc, dest.x, dest.y, dest.cx, dest.cy), MappedSource{{nullptr, 0, 0, 1, 1}}, rop);
}

// EMR_BITBLT and EMR_STRETCHBLT: rclBounds, xDest, yDest, cxDest, cyDest,
// dwRop, xSrc, ySrc, the source fields, and for STRETCHBLT cxSrc, cySrc.
void play_blt(Playback& p, ByteReader body, bool stretch) {
  auto dest = read_rectl(body) ? read_dest_rect(body) : std::nullopt;
  auto rop = body.read<std::uint32_t>();
  auto x_src = body.read<std::int32_t>();
  auto y_src = body.read<std::int32_t>();
  auto fields = read_source_fields(body);
  if (!dest || !rop || !x_src || !y_src || !fields) return;
  DeviceContext& dc = p.dc();
  if (!fields->dib.present()) return draw_pattern_only(dc, *dest, *rop);
  auto cx_src = stretch ? body.read<std::int32_t>() : dest->cx;
  auto cy_src = stretch ? body.read<std::int32_t>() : dest->cy;
  auto image = decode_record_dib(body, fields->dib);
  if (!cx_src || !cy_src || !image) return;
  auto mapped = map_source_rect(&*image, fields->xform, *x_src, *y_src, *cx_src, *cy_src);
  if (mapped) draw(dc, place_logical_rect(dc, dest->x, dest->y, dest->cx, dest->cy), *mapped, *rop);
}

void on_bitblt(Playback& p, ByteReader body) { play_blt(p, body, false); }
void on_stretchblt(Playback& p, ByteReader body) { play_blt(p, body, true); }

// StretchDIBits and SetDIBitsToDevice measure ySrc from the DIB's bottom row.
std::optional<MappedSource> dib_source(const Image32& image, int x_src, int y_src, int cx_src, int cy_src) {
  const std::int64_t top = std::int64_t{image.height} - y_src - cy_src;
  if (top < INT32_MIN || top > INT32_MAX) return std::nullopt;
  return map_source_rect(&image, XFORM{1, 0, 0, 1, 0, 0}, x_src, static_cast<int>(top), cx_src, cy_src);
}

// The fields the two DIB-to-device records share: rclBounds, xDest, yDest,
// xSrc, ySrc, cxSrc, cySrc, the bitmap's offsets and sizes, iUsageSrc.
struct DibRecordHead {
  std::int32_t v[6];  // xDest, yDest, xSrc, ySrc, cxSrc, cySrc
  RecordDib dib;
};

std::optional<DibRecordHead> read_dib_record_head(ByteReader& body) {
  if (!read_rectl(body)) return std::nullopt;
  DibRecordHead head;
  for (std::int32_t& field : head.v) {
    auto value = body.read<std::int32_t>();
    if (!value) return std::nullopt;
    field = *value;
  }
  ByteReader offsets = body;
  if (!body.skip(16)) return std::nullopt;
  auto usage = body.read<std::uint32_t>();
  auto dib = usage ? read_dib_offsets(offsets, *usage) : std::nullopt;
  if (!dib) return std::nullopt;
  head.dib = *dib;
  return head;
}

// EMR_STRETCHDIBITS: rclBounds, xDest, yDest, xSrc, ySrc, cxSrc, cySrc,
// offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc, iUsageSrc, dwRop, cxDest, cyDest.
void on_stretch_dibits(Playback& p, ByteReader body) {
  auto head = read_dib_record_head(body);
  if (!head) return;
  const std::int32_t* v = head->v;
  const RecordDib* dib = &head->dib;
  auto rop = body.read<std::uint32_t>();
  auto cx_dest = body.read<std::int32_t>();
  auto cy_dest = body.read<std::int32_t>();
  if (!rop || !cx_dest || !cy_dest) return;
  DeviceContext& dc = p.dc();
  const DestRect dest{v[0], v[1], *cx_dest, *cy_dest};
  if (!dib->present()) return draw_pattern_only(dc, dest, *rop);
  auto image = decode_record_dib(body, *dib, MonoMapping::ColorTable, selected_palette(dc));
  auto mapped = image ? dib_source(*image, v[2], v[3], v[4], v[5]) : std::nullopt;
  if (mapped) draw(dc, place_logical_rect(dc, dest.x, dest.y, dest.cx, dest.cy), *mapped, *rop);
}

// EMR_SETDIBITSTODEVICE: rclBounds, xDest, yDest, xSrc, ySrc, cxSrc, cySrc,
// offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc, iUsageSrc, iStartScan, cScans.
// The bits hold scans iStartScan onwards. The picture is copied pixel for
// pixel at the device position of (xDest, yDest), unscaled, as the platform
// player draws it.
void on_set_dibits_to_device(Playback& p, ByteReader body) {
  auto head = read_dib_record_head(body);
  if (!head) return;
  const std::int32_t* v = head->v;
  const RecordDib* dib = &head->dib;
  auto start_scan = body.read<std::uint32_t>();
  if (!start_scan || !dib->present() || *start_scan > INT32_MAX) return;
  auto image = decode_record_dib(body, *dib, MonoMapping::ColorTable, selected_palette(p.dc()));
  const std::int64_t y_in_scans = std::int64_t{v[3]} - *start_scan;
  if (!image || y_in_scans < INT32_MIN) return;
  auto mapped = dib_source(*image, v[2], static_cast<int>(y_in_scans), v[4], v[5]);
  if (!mapped) return;
  DeviceContext& dc = p.dc();
  double x = v[0], y = v[1];
  dc.logical_to_device().transform(&x, &y);
  const AxisPlacement at{static_cast<int>(std::lround(std::clamp(x, -1e9, 1e9))),
                         static_cast<int>(std::lround(std::clamp(y, -1e9, 1e9))), mapped->source.width,
                         mapped->source.height};
  draw(dc, at, *mapped, SRCCOPY);
}

// DIB_PAL_MONO: a monochrome brush's bits with no colour table.
constexpr DWORD kDibPalMono = 2;

// A monochrome brush paints the context's text colour for 0 bits and its
// background colour for 1 bits, but only when its DIB is a 1-bit one with no
// colour table (DIB_PAL_MONO) or the plain black and white one; any other
// table, or depth, paints its own colours, as the reference player does.
bool paints_with_dc_colours(const ByteReader& body, const RecordDib& dib) {
  auto header = record_dib_header(body, dib);
  if (!header || header->bit_count != 1) return false;
  if (dib.usage == kDibPalMono) return true;  // no colour table at all: the bits are the colours' indices
  return dib.usage == DIB_RGB_COLORS && header->palette == std::vector<std::uint32_t>{0x000000, 0xFFFFFF};
}

// EMR_CREATEDIBPATTERNBRUSHPT and EMR_CREATEMONOBRUSH: ihBrush, iUsage,
// offBmi, cbBmi, offBits, cbBits.
void create_pattern_brush(Playback& p, ByteReader body, bool mono_record) {
  auto index = body.read<std::uint32_t>();
  auto usage = body.read<std::uint32_t>();
  auto dib = usage ? read_dib_offsets(body, *usage) : std::nullopt;
  if (!index || !dib) return;
  const bool monochrome = mono_record && paints_with_dc_colours(body, *dib);
  auto image = decode_record_dib(body, *dib, monochrome ? MonoMapping::Indices : MonoMapping::ColorTable,
                                 selected_palette(p.dc()));
  if (!image) return;
  BrushTraits brush;
  brush.style = BS_DIBPATTERNPT;
  brush.monochrome = monochrome;
  brush.pattern = std::make_shared<const Image32>(std::move(*image));
  p.store_object(*index, create_brush(std::move(brush)));
}

void on_create_dib_pattern_brush(Playback& p, ByteReader body) { create_pattern_brush(p, body, false); }
void on_create_mono_brush(Playback& p, ByteReader body) { create_pattern_brush(p, body, true); }

}  // namespace

void register_bitmap_handlers(HandlerTable& table) {
  table.add(EMR_BITBLT, on_bitblt);
  table.add(EMR_STRETCHBLT, on_stretchblt);
  table.add(EMR_STRETCHDIBITS, on_stretch_dibits);
  table.add(EMR_SETDIBITSTODEVICE, on_set_dibits_to_device);
  table.add(EMR_CREATEDIBPATTERNBRUSHPT, on_create_dib_pattern_brush);
  table.add(EMR_CREATEMONOBRUSH, on_create_mono_brush);
  register_blend_handlers(table);
}

}  // namespace velmora::platform
