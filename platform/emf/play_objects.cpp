// Object records: pens, extended pens, brushes and palettes are created in
// the picture's object table, selected into the context and deleted.
#include "common/limits.h"
#include "emf/record_fields.h"
#include "emf/record_handlers.h"
#include "gdi/gdi_objects.h"

#include <algorithm>

namespace velmora::platform {
namespace {

using limits::kMaxDashEntries;
using limits::kMaxPaletteEntries;

BrushTraits brush_of(UINT style, COLORREF color, ULONG hatch) {
  BrushTraits brush;
  brush.style = style == BS_NULL || style == BS_HATCHED ? style : BS_SOLID;
  brush.color = color;
  brush.hatch = hatch;
  return brush;
}

// EMR_CREATEPEN: ihPen, LOGPEN (style, width as POINTL, colour).
void on_create_pen(Playback& p, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  auto style = body.read<std::uint32_t>();
  auto width = read_pointl(body);
  auto color = body.read<std::uint32_t>();
  if (!index || !style || !width || !color) return;
  PenTraits pen;
  pen.style = *style & PS_STYLE_MASK;  // CreatePen keeps only the line style
  pen.width = static_cast<UINT>(std::max<LONG>(width->x, 0));
  pen.color = *color;
  pen.brush = brush_of(BS_SOLID, *color, 0);
  p.store_object(*index, create_pen(std::move(pen)));
}

// EMR_EXTCREATEPEN: ihPen, offBmi, cbBmi, offBits, cbBits, then LOGPEN_EX:
// style, width, brush style, colour, hatch, dash count, dashes.
void on_ext_create_pen(Playback& p, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  if (!index || !body.skip(16)) return;
  auto style = body.read<std::uint32_t>();
  auto width = body.read<std::uint32_t>();
  auto brush_style = body.read<std::uint32_t>();
  auto color = body.read<std::uint32_t>();
  auto hatch = body.read<std::uint32_t>();
  auto count = body.read<std::uint32_t>();
  if (!style || !width || !brush_style || !color || !hatch || !count) return;
  PenTraits pen;
  pen.style = *style;
  pen.width = (*style & PS_TYPE_MASK) == PS_GEOMETRIC ? *width : 0;
  pen.color = *color;
  // Pattern brushes in pens are drawn in the pen's colour.
  pen.brush = brush_of(*brush_style, *color, *hatch);
  if (*brush_style == BS_NULL) pen.style = (pen.style & ~PS_STYLE_MASK) | PS_NULL;
  if (pen.line_style() == PS_USERSTYLE) {
    if (auto dashes = read_dword_array(body, std::min(*count, kMaxDashEntries))) pen.dashes = std::move(*dashes);
  }
  p.store_object(*index, create_ext_pen(std::move(pen)));
}

// EMR_CREATEBRUSHINDIRECT: ihBrush, LOGBRUSH32 (style, colour, hatch).
void on_create_brush(Playback& p, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  auto style = body.read<std::uint32_t>();
  auto color = body.read<std::uint32_t>();
  auto hatch = body.read<std::uint32_t>();
  if (!index || !style || !color || !hatch) return;
  p.store_object(*index, create_brush(brush_of(*style, *color, *hatch)));
}

void on_select_object(Playback& p, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  if (!index) return;
  if (HGDIOBJ handle = p.object_at(*index)) p.dc().select_object(handle);
}

void on_delete_object(Playback& p, ByteReader body) {
  if (auto index = body.read<std::uint32_t>()) p.delete_object(*index);
}

std::optional<std::vector<PALETTEENTRY>> read_palette_entries(ByteReader& body, std::uint32_t count) {
  if (count > kMaxPaletteEntries || !body.fits(body.position(), std::size_t{count} * 4)) return std::nullopt;
  std::vector<PALETTEENTRY> entries(count);
  for (PALETTEENTRY& e : entries) {
    e = PALETTEENTRY{*body.read<std::uint8_t>(), *body.read<std::uint8_t>(), *body.read<std::uint8_t>(),
                     *body.read<std::uint8_t>()};
  }
  return entries;
}

// EMR_CREATEPALETTE: ihPal, LOGPALETTE (version, entry count, entries).
void on_create_palette(Playback& p, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  auto version = body.read<std::uint16_t>();
  auto count = body.read<std::uint16_t>();
  if (!index || !version || !count) return;
  if (auto entries = read_palette_entries(body, *count)) p.store_object(*index, create_palette(std::move(*entries)));
}

// EMR_SETPALETTEENTRIES: ihPal, first entry, count, entries.
void on_set_palette_entries(Playback& p, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  auto start = body.read<std::uint32_t>();
  auto count = body.read<std::uint32_t>();
  if (!index || !start || !count) return;
  Palette* palette = lookup<Palette>(p.object_at(*index));
  auto entries = read_palette_entries(body, *count);
  if (!palette || palette->is_stock() || !entries) return;
  std::vector<PALETTEENTRY>& target = palette->entries();
  for (std::size_t i = 0; i < entries->size() && *start + i < target.size(); ++i) target[*start + i] = (*entries)[i];
}

// EMR_RESIZEPALETTE: ihPal, new entry count.
void on_resize_palette(Playback& p, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  auto count = body.read<std::uint32_t>();
  Palette* palette = index ? lookup<Palette>(p.object_at(*index)) : nullptr;
  if (!palette || palette->is_stock() || !count || *count > kMaxPaletteEntries) return;
  palette->entries().resize(*count, PALETTEENTRY{0, 0, 0, 0});
}

}  // namespace

void register_object_handlers(HandlerTable& table) {
  table.add(EMR_CREATEPEN, on_create_pen);
  table.add(EMR_EXTCREATEPEN, on_ext_create_pen);
  table.add(EMR_CREATEBRUSHINDIRECT, on_create_brush);
  table.add(EMR_SELECTOBJECT, on_select_object);
  table.add(EMR_SELECTPALETTE, on_select_object);
  table.add(EMR_DELETEOBJECT, on_delete_object);
  table.add(EMR_CREATEPALETTE, on_create_palette);
  table.add(EMR_SETPALETTEENTRIES, on_set_palette_entries);
  table.add(EMR_RESIZEPALETTE, on_resize_palette);
}

}  // namespace velmora::platform
