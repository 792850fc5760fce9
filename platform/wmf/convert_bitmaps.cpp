// Bitmap records: the DIB ones (MS-WMF 2.3.1) and the obsolete ones with a
// device-dependent Bitmap16 become EMR_STRETCHDIBITS or
// EMR_SETDIBITSTODEVICE; the forms without a bitmap, and PATBLT, become a
// source-less EMR_BITBLT that paints with the brush.
#include "wmf/conversion.h"
#include "wmf/dib_parts.h"
#include "wmf/wmf_records.h"

namespace velmora::platform::wmf {
namespace {

// Fixed parts, type and size included (MS-EMF 2.3.1).
constexpr std::uint32_t kStretchDibitsBytes = 80;
constexpr std::uint32_t kSetDibitsBytes = 76;

struct Blit {
  std::uint32_t rop = SRCCOPY;
  RECTL dest{};    // x, y, width, height
  RECTL source{};  // x, y, width, height
};

// A record is the form without a bitmap when its size is exactly its
// fixed parameters (MS-WMF 2.3.1: RecordSize == (RecordFunction >> 8) + 3).
bool without_bitmap(const WmfRecord& record) { return record.words == (record.function >> 8) + 3u; }

void include_dest(Conversion& c, const RECTL& d) { c.include_rect(d.left, d.top, d.left + d.right, d.top + d.bottom); }

// The destination rectangle in rclBounds form; players do not rely on it.
RECTL bounds_field(const RECTL& d) { return {d.left, d.top, d.left + d.right - 1, d.top + d.bottom - 1}; }

void emit_pattern_blit(Conversion& c, const Blit& blit) {
  EmfRecord out(EMR_BITBLT);
  out.rect(bounds_field(blit.dest)).rect(blit.dest).u32(blit.rop).i32(0).i32(0);
  out.f32(1.0f).f32(0.0f).f32(0.0f).f32(1.0f).f32(0.0f).f32(0.0f);  // xformSrc: identity
  out.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);  // no source bitmap
  include_dest(c, blit.dest);
  c.emit(std::move(out));
}

void emit_stretch_dibits(Conversion& c, const Blit& blit, std::uint32_t usage, const DibParts& dib) {
  const auto info_bytes = static_cast<std::uint32_t>(dib.info.size());
  const std::uint32_t bits_offset = (kStretchDibitsBytes + info_bytes + 3) & ~3u;
  EmfRecord out(EMR_STRETCHDIBITS);
  out.rect(bounds_field(blit.dest)).i32(blit.dest.left).i32(blit.dest.top);
  out.i32(blit.source.left).i32(blit.source.top).i32(blit.source.right).i32(blit.source.bottom);
  out.u32(kStretchDibitsBytes).u32(info_bytes).u32(bits_offset).u32(static_cast<std::uint32_t>(dib.bits.size()));
  out.u32(usage).u32(blit.rop).i32(blit.dest.right).i32(blit.dest.bottom);
  out.bytes(dib.info).align4().bytes(dib.bits);
  include_dest(c, blit.dest);
  c.emit(std::move(out));
}

std::span<const std::uint8_t> rest_of(ByteReader& params) { return *params.bytes(params.remaining()); }

// The bitmap of the old records, as a DIB with RGB colours.
void emit_bitmap16_blit(Conversion& c, const Blit& blit, ByteReader& params) {
  const auto bitmap = read_bitmap16(params);
  const auto dib = bitmap ? bitmap16_to_dib(*bitmap, rest_of(params)) : std::nullopt;
  const auto parts = dib ? split_dib(*dib, DIB_RGB_COLORS) : std::nullopt;
  if (parts) emit_stretch_dibits(c, blit, DIB_RGB_COLORS, *parts);
}

void emit_dib_blit(Conversion& c, const Blit& blit, std::uint32_t usage, ByteReader& params) {
  if (const auto dib = split_dib(rest_of(params), usage)) emit_stretch_dibits(c, blit, usage, *dib);
}

// The blit records play a monochrome DIB as a bitmap in a memory context,
// whose rows count from the top, where StretchDIBits counts a bottom-up
// DIB's rows from the bottom: the source rectangle is turned over to say
// the same rows. Icon masks twice their icon's height rely on it.
Blit with_rows_from_the_top(Blit blit, std::span<const std::uint8_t> dib) {
  const std::optional<DibShape> shape = dib_shape(dib);
  if (!shape || shape->bit_count != 1 || shape->height <= 0) return blit;
  blit.source.top = shape->height - blit.source.top - blit.source.bottom;
  return blit;
}

void emit_dib_blit_from_top(Conversion& c, const Blit& blit, ByteReader& params) {
  const std::span<const std::uint8_t> rest = rest_of(params);
  if (const auto dib = split_dib(rest, DIB_RGB_COLORS))
    emit_stretch_dibits(c, with_rows_from_the_top(blit, rest), DIB_RGB_COLORS, *dib);
}

// BitBlt forms: RasterOperation, YSrc, XSrc, [Reserved when without a
// bitmap], Height, Width, YDest, XDest, then the bitmap.
template <bool Bitmap16Target>
void convert_bit_blt(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto rop = params.read<std::uint32_t>();
  const auto src = read_i16<2>(params);
  if (!rop || !src || (without_bitmap(record) && !params.skip(2))) return;
  const auto dst = read_i16<4>(params);
  if (!dst) return;
  const Blit blit{*rop, {(*dst)[3], (*dst)[2], (*dst)[1], (*dst)[0]}, {(*src)[1], (*src)[0], (*dst)[1], (*dst)[0]}};
  if (without_bitmap(record)) return emit_pattern_blit(c, blit);
  if (Bitmap16Target) return emit_bitmap16_blit(c, blit, params);
  emit_dib_blit_from_top(c, blit, params);
}

// StretchBlt forms: RasterOperation, SrcHeight, SrcWidth, YSrc, XSrc,
// [Reserved when without a bitmap], DestHeight, DestWidth, YDest, XDest, then the bitmap.
template <bool Bitmap16Target>
void convert_stretch_blt(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto rop = params.read<std::uint32_t>();
  const auto src = read_i16<4>(params);
  if (!rop || !src || (without_bitmap(record) && !params.skip(2))) return;
  const auto dst = read_i16<4>(params);
  if (!dst) return;
  const Blit blit{*rop, {(*dst)[3], (*dst)[2], (*dst)[1], (*dst)[0]}, {(*src)[3], (*src)[2], (*src)[1], (*src)[0]}};
  if (without_bitmap(record)) return emit_pattern_blit(c, blit);
  if (Bitmap16Target) return emit_bitmap16_blit(c, blit, params);
  emit_dib_blit_from_top(c, blit, params);
}

// StretchDIB: RasterOperation, ColorUsage, SrcHeight, SrcWidth, YSrc, XSrc,
// DestHeight, DestWidth, yDst, xDst, DIB.
void convert_stretch_dib(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto rop = params.read<std::uint32_t>();
  const auto usage = params.read<std::uint16_t>();
  const auto src = read_i16<4>(params);
  const auto dst = read_i16<4>(params);
  if (!rop || !usage || !src || !dst) return;
  const Blit blit{*rop, {(*dst)[3], (*dst)[2], (*dst)[1], (*dst)[0]}, {(*src)[3], (*src)[2], (*src)[1], (*src)[0]}};
  emit_dib_blit(c, blit, *usage, params);
}

// SetDIBToDev: ColorUsage, ScanCount, StartScan, yDib, xDib, Height, Width, yDest, xDest, DIB.
void convert_set_dib_to_dev(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto usage = params.read<std::uint16_t>();
  const auto scans = read_i16<2>(params);  // ScanCount, StartScan
  const auto p = read_i16<6>(params);
  if (!usage || !scans || !p) return;
  const auto dib = split_dib(rest_of(params), *usage);
  if (!dib) return;
  const RECTL dest{(*p)[5], (*p)[4], (*p)[3], (*p)[2]};
  const auto info_bytes = static_cast<std::uint32_t>(dib->info.size());
  const std::uint32_t bits_offset = (kSetDibitsBytes + info_bytes + 3) & ~3u;
  EmfRecord out(EMR_SETDIBITSTODEVICE);
  out.rect(bounds_field(dest)).i32(dest.left).i32(dest.top).i32((*p)[1]).i32((*p)[0]).i32(dest.right).i32(dest.bottom);
  out.u32(kSetDibitsBytes).u32(info_bytes).u32(bits_offset).u32(static_cast<std::uint32_t>(dib->bits.size()));
  out.u32(*usage).u32(static_cast<std::uint16_t>((*scans)[1])).u32(static_cast<std::uint16_t>((*scans)[0]));
  out.bytes(dib->info).align4().bytes(dib->bits);
  include_dest(c, dest);
  c.emit(std::move(out));
}

// PatBlt: RasterOperation, Height, Width, YLeft, XLeft.
void convert_pat_blt(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto rop = params.read<std::uint32_t>();
  const auto p = read_i16<4>(params);
  if (!rop || !p) return;
  emit_pattern_blit(c, Blit{*rop, {(*p)[3], (*p)[2], (*p)[1], (*p)[0]}, {}});
}

constexpr ConverterEntry kConverters[] = {
    {META_DIBBITBLT, convert_bit_blt<false>},
    {META_BITBLT, convert_bit_blt<true>},
    {META_DIBSTRETCHBLT, convert_stretch_blt<false>},
    {META_STRETCHBLT, convert_stretch_blt<true>},
    {META_STRETCHDIB, convert_stretch_dib},
    {META_SETDIBTODEV, convert_set_dib_to_dev},
    {META_PATBLT, convert_pat_blt},
};

}  // namespace

std::span<const ConverterEntry> bitmap_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
