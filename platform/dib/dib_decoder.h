// Decodes a packed DIB (header, masks, colour table, bits) into an Image32.
// Every depth the format knows is read (1, 4, 8, 16, 24 and 32 bits;
// BI_RGB, BI_BITFIELDS, BI_RLE4, BI_RLE8, BI_JPEG, BI_PNG), bottom-up and
// top-down. The result is top-down; its fourth bytes are 0 except for 32-bit
// layouts that keep the source's own fourth byte (then has_alpha is set).
//
// Bad data gives an empty result, never a read outside the given bytes.
// Run-length data is the exception: what exists is decoded and the rest
// holds index 0, as the reference player draws truncated or skipped runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/byte_reader.h"
#include "dib/dib_header.h"
#include "raster/image.h"

namespace velmora::platform {

// How a 1-bit DIB's two values become colours.
enum class MonoMapping {
  ColorTable,  // through the DIB's own colour table (bitmaps, DIB pattern brushes)
  Indices,     // bit 0 gives black, bit 1 white: the caller maps them (to the DC's text and
               // background colours for a monochrome pattern brush) when it paints
};

struct DibDecodeOptions {
  ColorUsage usage = ColorUsage::Rgb;
  MonoMapping mono = MonoMapping::ColorTable;
};

// `bmi` holds the header and colour table, `bits` the pixel data.
std::optional<Image32> decode_dib(const ByteReader& bmi, const ByteReader& bits, const DibDecodeOptions& options = {});

// The form the EMF bitmap records use: the header and the bits lie inside the
// record at byte offsets from the record's start.
std::optional<Image32> decode_dib_in_record(const ByteReader& record, std::uint32_t off_bmi, std::uint32_t cb_bmi,
                                            std::uint32_t off_bits, std::uint32_t cb_bits,
                                            const DibDecodeOptions& options = {});

}  // namespace velmora::platform
