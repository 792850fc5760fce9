#include "identify.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmora {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
// The placeable header (MS-WMF 2.3.2.3): key, handle, bounding box left, top,
// right, bottom (signed 16-bit), units per inch, reserved, checksum.
constexpr DWORD kPlaceableHeaderSize = 22;
constexpr std::size_t kPlaceableBoxOffset = 6;
constexpr std::size_t kPlaceableInchOffset = 14;
// The usual units per inch of a placeable WMF, for a header that gives none.
constexpr std::int64_t kTwipsPerInch = 1440;
constexpr std::int64_t kHimetricPerInch = 2540;
// ENHMETAHEADER fields as the file holds them (MS-EMF 2.3.4.2).
constexpr std::size_t kFrameOffset = 24;
constexpr std::size_t kSignatureOffset = 40;

// Little-endian unsigned value of `width` bytes at `offset`, or empty when
// the data ends before it.
std::optional<std::uint32_t> read_le(const BYTE* data, DWORD size, std::size_t offset, std::size_t width) {
  if (offset > size || width > size - offset) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= std::uint32_t{data[offset + i]} << (8 * i);
  return value;
}

// A placeable box side, sign-extended from 16 bits. Only called where the
// 22-byte header is known to be present.
std::int32_t read_box_field(const BYTE* data, std::size_t index) {
  const std::uint32_t bits = *read_le(data, kPlaceableHeaderSize, kPlaceableBoxOffset + 2 * index, 2);
  return static_cast<std::int16_t>(bits);
}

// A frame side: a signed 32-bit value. Only called on data holding the header.
std::int32_t read_frame_field(const BYTE* data, DWORD size, std::size_t index) {
  return static_cast<std::int32_t>(*read_le(data, size, kFrameOffset + 4 * index, 4));
}

// Plain differences, right - left over bottom - top, without adding 1.
float aspect_of(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  return static_cast<float>(static_cast<double>(right - left) / static_cast<double>(bottom - top));
}

bool has_placeable_key(const BYTE* data, DWORD size) {
  return size >= kPlaceableHeaderSize && read_le(data, size, 0, 4) == kPlaceableKey;
}

bool has_emf_signature(const BYTE* data, DWORD size) {
  return read_le(data, size, kSignatureOffset, 4) == std::uint32_t{ENHMETA_SIGNATURE};
}

// One side of the placeable box in 0.01 mm, rounded to the nearest.
LONG himetric_side(std::int32_t from, std::int32_t to, std::int64_t units_per_inch) {
  const std::int64_t units = to > from ? std::int64_t{to} - from : std::int64_t{from} - to;
  return static_cast<LONG>((units * kHimetricPerInch + units_per_inch / 2) / units_per_inch);
}

// The box as the picture's size, so that the converted picture's frame is
// the box whose proportions the caller fits the target to; without it the
// frame would be the bounds of what is drawn, and a picture with margins
// would be stretched out of shape.
METAFILEPICT picture_size_of_box(const BYTE* data) {
  std::int64_t per_inch = *read_le(data, kPlaceableHeaderSize, kPlaceableInchOffset, 2);
  if (per_inch == 0) per_inch = kTwipsPerInch;
  METAFILEPICT size{};
  size.mm = MM_ANISOTROPIC;
  size.xExt = himetric_side(read_box_field(data, 0), read_box_field(data, 2), per_inch);
  size.yExt = himetric_side(read_box_field(data, 1), read_box_field(data, 3), per_inch);
  return size;
}

IdentifiedMetafile identify_placeable(const BYTE* data, DWORD size) {
  IdentifiedMetafile result;
  const METAFILEPICT picture_size = picture_size_of_box(data);
  result.picture =
      SetWinMetaFileBits(size - kPlaceableHeaderSize, data + kPlaceableHeaderSize, nullptr, &picture_size);
  result.aspect = aspect_of(read_box_field(data, 0), read_box_field(data, 1), read_box_field(data, 2),
                            read_box_field(data, 3));
  return result;
}

IdentifiedMetafile identify_enhanced(const BYTE* data, DWORD size) {
  IdentifiedMetafile result;
  result.picture = SetEnhMetaFileBits(size, data);
  result.aspect = aspect_of(read_frame_field(data, size, 0), read_frame_field(data, size, 1),
                            read_frame_field(data, size, 2), read_frame_field(data, size, 3));
  return result;
}

IdentifiedMetafile identify_plain_wmf(const BYTE* data, DWORD size) {
  IdentifiedMetafile result;
  result.picture = SetWinMetaFileBits(size, data, nullptr, nullptr);
  ENHMETAHEADER header{};
  if (result.picture && GetEnhMetaFileHeader(result.picture, sizeof header, &header) != 0) {
    const RECTL& frame = header.rclFrame;
    result.aspect = aspect_of(frame.left, frame.top, frame.right, frame.bottom);
  }
  return result;
}

}  // namespace

IdentifiedMetafile IdentifyMetafile(const BYTE* data, DWORD size) {
  if (!data) return {};
  if (has_placeable_key(data, size)) return identify_placeable(data, size);
  if (has_emf_signature(data, size)) return identify_enhanced(data, size);
  return identify_plain_wmf(data, size);
}

}  // namespace velmora
