// Splits a device-independent bitmap as WMF records embed it (MS-WMF 2.2.2.9:
// a BITMAPINFO header, its colour table, then the bits) into the two parts
// that EMF bitmap records place separately, and turns the obsolete
// device-dependent Bitmap16 (MS-WMF 2.2.2.1) into such a DIB.
#pragma once

#include "common/byte_reader.h"
#include "common/limits.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmora::platform::wmf {

struct DibParts {
  std::span<const std::uint8_t> info;  // header and colour table
  std::span<const std::uint8_t> bits;  // everything after them
};

// The parts of the DIB that fills `dib`, or nothing when its header is not
// one of the known sizes or its colour table runs past the data.
// usage: DIB_RGB_COLORS (4-byte colours) or DIB_PAL_COLORS (2-byte indexes).
std::optional<DibParts> split_dib(std::span<const std::uint8_t> dib, std::uint32_t usage);

// The height (negative when top-down) and depth a DIB's header gives.
struct DibShape {
  std::int32_t height;
  std::uint16_t bit_count;
};
std::optional<DibShape> dib_shape(std::span<const std::uint8_t> dib);

struct Bitmap16 {
  std::int16_t width;
  std::int16_t height;
  std::int16_t width_bytes;  // the stride of the bits, word-aligned
  std::uint8_t planes;
  std::uint8_t bits_pixel;
};

using limits::kMaxBitmap16Bytes;

// Reads a Bitmap16's 10-byte header; the bits follow it.
std::optional<Bitmap16> read_bitmap16(ByteReader& reader);
// The DIB (BITMAPINFOHEADER, colour table, bits) of a one-plane Bitmap16 of
// 1, 24 or 32 bits per pixel; a monochrome one gets the black-and-white
// table. Nothing for other formats or too few bits.
std::optional<std::vector<std::uint8_t>> bitmap16_to_dib(const Bitmap16& bitmap, std::span<const std::uint8_t> bits);

}  // namespace velmora::platform::wmf
