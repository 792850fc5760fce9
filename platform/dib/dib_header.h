// The parsed header of a packed DIB: the BITMAPCOREHEADER, BITMAPINFOHEADER,
// V4 or V5 forms, the channel masks and the colour table, validated once so
// that the pixel decoders can trust every field.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/byte_reader.h"
#include "common/limits.h"

namespace velmora::platform {

using limits::kMaxDibPixels;
using limits::kMaxDibSide;

// How the colour table of a DIB is read (the iUsage of the records).
enum class ColorUsage {
  Rgb,             // DIB_RGB_COLORS: RGBQUAD entries
  PaletteIndices,  // DIB_PAL_COLORS: 16-bit indices into the default palette
};

// One channel of a BI_BITFIELDS (or implicit 16/32-bit) layout.
struct ChannelMask {
  std::uint32_t mask = 0;
  int shift = 0;  // position of the mask's lowest bit
  int bits = 0;   // width of the mask from its lowest to its highest bit
};

struct DibHeader {
  int width = 0;
  int height = 0;         // always positive
  bool top_down = false;  // a negative biHeight
  int bit_count = 0;
  DWORD compression = BI_RGB;
  ChannelMask red, green, blue, alpha;  // for 16 and 32 bits
  bool keeps_fourth_byte = false;       // a 32-bit layout whose fourth byte is the source's own
  std::vector<std::uint32_t> palette;   // pixel words (fourth byte 0), for 8 bits or fewer
};

// Parses the header at the start of `bmi` (which holds the header, any masks
// and the colour table). Empty when the header is unusable.
std::optional<DibHeader> parse_dib_header(const ByteReader& bmi, ColorUsage usage);

// The colour of entry `index` of the default palette (the 20 static colours),
// for DIB_PAL_COLORS tables; black past its end.
std::uint32_t default_palette_pixel(std::uint32_t index);

// Bytes in one uncompressed row: rows are padded to 32-bit boundaries.
inline std::int64_t dib_stride(std::int64_t width, int bit_count) { return (width * bit_count + 31) / 32 * 4; }

}  // namespace velmora::platform
