// Decoders of the compressed DIB forms, used by decode_dib. Each reads only
// the bytes it is given and checks the picture's size against the DIB limits
// before it allocates.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "dib/dib_header.h"
#include "raster/image.h"

namespace velmora::platform {

// BI_RLE8 and BI_RLE4 (MS-WMF 3.1.6): the colour indices through the palette.
Image32 decode_rle(std::span<const std::uint8_t> bits, const DibHeader& header);

// BI_JPEG and BI_PNG: a whole JPEG or PNG file as the bits.
std::optional<Image32> decode_jpeg(std::span<const std::uint8_t> bits);
std::optional<Image32> decode_png(std::span<const std::uint8_t> bits);

}  // namespace velmora::platform
