// Pattern brushes: META_DIBCREATEPATTERNBRUSH (MS-WMF 2.3.4.8) and the
// obsolete META_CREATEPATTERNBRUSH with a device-dependent Bitmap16
// (MS-WMF 2.3.4.4) both become EMR_CREATEDIBPATTERNBRUSHPT (MS-EMF 2.3.7.4).
#include "wmf/convert_objects.h"
#include "wmf/dib_parts.h"

namespace velmora::platform::wmf {
namespace {

// EMR_CREATEDIBPATTERNBRUSHPT's fixed part: type, size, ihBrush, iUsage,
// offBmi, cbBmi, offBits, cbBits.
constexpr std::uint32_t kFixedBytes = 32;
// META_CREATEPATTERNBRUSH: the Bitmap16's unused 4-byte bits pointer and 18 reserved bytes.
constexpr std::size_t kBitmap16PointerBytes = 4;
constexpr std::size_t kPatternReservedBytes = 18;

void emit_dib_brush(Conversion& c, std::uint32_t usage, const DibParts& dib) {
  const auto slot = add_object(c, WmfObject{ObjectKind::Brush});
  if (!slot) return;
  const auto info_bytes = static_cast<std::uint32_t>(dib.info.size());
  const std::uint32_t bits_offset = (kFixedBytes + info_bytes + 3) & ~3u;
  EmfRecord brush(EMR_CREATEDIBPATTERNBRUSHPT);
  brush.u32(ObjectTable::emf_index(*slot)).u32(usage);
  brush.u32(kFixedBytes).u32(info_bytes).u32(bits_offset).u32(static_cast<std::uint32_t>(dib.bits.size()));
  brush.bytes(dib.info).align4().bytes(dib.bits);
  c.emit(std::move(brush));
}

}  // namespace

// Style, colour usage, then the DIB. A BS_PATTERN brush's DIB has RGB colours whatever the usage says.
void convert_dib_pattern_brush(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto style = params.read<std::uint16_t>();
  const auto usage = params.read<std::uint16_t>();
  if (!style || !usage) return add_unused_object(c);
  const std::uint32_t colors = *style == BS_PATTERN ? DIB_RGB_COLORS : *usage;
  const auto dib = split_dib(*params.bytes(params.remaining()), colors);
  if (!dib) return add_unused_object(c);
  emit_dib_brush(c, colors, *dib);
}

void convert_bitmap16_pattern_brush(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto bitmap = read_bitmap16(params);
  if (!bitmap || !params.skip(kBitmap16PointerBytes + kPatternReservedBytes)) return add_unused_object(c);
  const auto dib = bitmap16_to_dib(*bitmap, *params.bytes(params.remaining()));
  if (!dib) return add_unused_object(c);
  const auto parts = split_dib(*dib, DIB_RGB_COLORS);
  if (!parts) return add_unused_object(c);
  emit_dib_brush(c, DIB_RGB_COLORS, *parts);
}

}  // namespace velmora::platform::wmf
