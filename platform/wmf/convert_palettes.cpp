// Palettes (MS-WMF 2.2.1.3) matter to a true-colour player only through
// colours given as palette indexes: the conversion keeps each palette's
// entries and turns such colours into RGB with the palette selected when
// the colour is read. Realizing a palette changes nothing here.
#include "common/limits.h"
#include "wmf/convert_objects.h"
#include "wmf/wmf_records.h"

namespace velmora::platform::wmf {
namespace {

constexpr std::uint32_t kPaletteIndexFlag = 0x01;     // PALETTEINDEX(i): 0x0100iiii
constexpr std::uint32_t kPaletteRelativeFlag = 0x02;  // PALETTERGB(r, g, b): 0x02bbggrr
constexpr auto kMaxPaletteEntries = limits::kMaxWmfPaletteEntries;

// The default palette's 20 static colours, as RGB COLORREFs (0x00bbggrr).
constexpr COLORREF kDefaultPalette[20] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CAA6,
    0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// PaletteEntry: red, green, blue, flags (as PALETTEENTRY).
std::optional<std::vector<COLORREF>> read_entries(ByteReader& params, std::size_t count) {
  if (count > kMaxPaletteEntries || params.remaining() / 4 < count) return std::nullopt;
  std::vector<COLORREF> entries(count);
  for (COLORREF& e : entries) e = *params.read<std::uint32_t>() & 0x00FFFFFF;
  return entries;
}

// CreatePalette: Start (0x0300), NumberOfEntries, entries.
void convert_create_palette(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto start = params.read<std::uint16_t>();
  const auto count = params.read<std::uint16_t>();
  const auto entries = start && count ? read_entries(params, *count) : std::nullopt;
  if (!entries) return add_unused_object(c);
  WmfObject palette;
  palette.kind = ObjectKind::Palette;
  palette.palette = std::move(*entries);
  add_object(c, std::move(palette));
}

WmfObject* palette_at(Conversion& c, std::uint16_t slot) {
  WmfObject* object = c.objects().find(slot);
  return object && object->kind == ObjectKind::Palette ? object : nullptr;
}

void convert_select_palette(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto slot = params.read<std::uint16_t>();
  if (slot && palette_at(c, *slot)) c.select_palette(*slot);
}

// SetPalEntries and AnimatePalette: Start, NumberOfEntries, entries, into
// the selected palette.
void convert_set_entries(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto start = params.read<std::uint16_t>();
  const auto count = params.read<std::uint16_t>();
  const auto entries = start && count ? read_entries(params, *count) : std::nullopt;
  WmfObject* palette = c.selected_palette_slot() ? palette_at(c, *c.selected_palette_slot()) : nullptr;
  if (!entries || !palette) return;
  for (std::size_t i = 0; i < entries->size() && *start + i < palette->palette.size(); ++i) {
    palette->palette[*start + i] = (*entries)[i];
  }
}

// ResizePalette: NumberOfEntries, new ones black.
void convert_resize_palette(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto count = params.read<std::uint16_t>();
  WmfObject* palette = c.selected_palette_slot() ? palette_at(c, *c.selected_palette_slot()) : nullptr;
  if (count && palette && *count <= kMaxPaletteEntries) palette->palette.resize(*count, 0);
}

constexpr ConverterEntry kConverters[] = {
    {META_CREATEPALETTE, convert_create_palette},
    {META_SELECTPALETTE, convert_select_palette},
    {META_SETPALENTRIES, convert_set_entries},
    {META_ANIMATEPALETTE, convert_set_entries},
    {META_RESIZEPALETTE, convert_resize_palette},
};

}  // namespace

COLORREF Conversion::color(std::uint32_t wmf_color) const {
  const std::uint32_t flag = wmf_color >> 24;
  if (flag == kPaletteRelativeFlag) return wmf_color & 0x00FFFFFF;
  if (flag != kPaletteIndexFlag) return wmf_color;
  const std::size_t index = wmf_color & 0xFFFF;
  const WmfObject* palette = state_.palette_slot ? objects_.find(*state_.palette_slot) : nullptr;
  if (palette && palette->kind == ObjectKind::Palette) {
    return index < palette->palette.size() ? palette->palette[index] : 0;
  }
  return index < std::size(kDefaultPalette) ? kDefaultPalette[index] : 0;
}

std::span<const ConverterEntry> palette_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
