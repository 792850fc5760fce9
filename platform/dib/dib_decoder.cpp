#include "dib/dib_decoder.h"

#include <span>

#include "dib/dib_compressed.h"

namespace velmora::platform {
namespace {

using Row = std::span<const std::uint8_t>;

// A channel value widened to 8 bits by repeating its bits (5-bit 0x1F gives 0xFF).
std::uint32_t expand_channel(std::uint32_t word, const ChannelMask& channel) {
  if (channel.bits == 0) return 0;
  const std::uint32_t value = (word & channel.mask) >> channel.shift;
  if (channel.bits >= 8) return (value >> (channel.bits - 8)) & 0xFF;
  std::uint32_t repeated = 0;
  int filled = 0;
  for (; filled < 8; filled += channel.bits) repeated = (repeated << channel.bits) | value;
  return (repeated >> (filled - 8)) & 0xFF;
}

std::uint32_t masked_pixel(std::uint32_t word, const DibHeader& header) {
  if (header.keeps_fourth_byte) return word;
  return (expand_channel(word, header.alpha) << 24) | (expand_channel(word, header.red) << 16) |
         (expand_channel(word, header.green) << 8) | expand_channel(word, header.blue);
}

std::uint32_t palette_pixel(const DibHeader& header, std::uint32_t index) {
  return index < header.palette.size() ? header.palette[index] : 0;
}

void unpack_indexed(Row row, const DibHeader& header, std::uint32_t* out) {
  const int bits = header.bit_count;
  const int per_byte = 8 / bits;
  const std::uint32_t value_mask = (1u << bits) - 1;
  for (int x = 0; x < header.width; ++x) {
    const int shift = 8 - bits * (x % per_byte + 1);  // the leftmost pixel is in the high bits
    out[x] = palette_pixel(header, (row[x / per_byte] >> shift) & value_mask);
  }
}

void unpack_16(Row row, const DibHeader& header, std::uint32_t* out) {
  for (int x = 0; x < header.width; ++x) {
    const std::uint32_t word = row[2 * x] | (std::uint32_t{row[2 * x + 1]} << 8);
    out[x] = masked_pixel(word, header);
  }
}

void unpack_24(Row row, const DibHeader& header, std::uint32_t* out) {
  for (int x = 0; x < header.width; ++x)
    out[x] = (std::uint32_t{row[3 * x + 2]} << 16) | (std::uint32_t{row[3 * x + 1]} << 8) | row[3 * x];
}

void unpack_32(Row row, const DibHeader& header, std::uint32_t* out) {
  for (int x = 0; x < header.width; ++x) {
    const std::uint32_t word = row[4 * x] | (std::uint32_t{row[4 * x + 1]} << 8) |
                               (std::uint32_t{row[4 * x + 2]} << 16) | (std::uint32_t{row[4 * x + 3]} << 24);
    out[x] = masked_pixel(word, header);
  }
}

void unpack_row(Row row, const DibHeader& header, std::uint32_t* out) {
  switch (header.bit_count) {
    case 16: unpack_16(row, header, out); break;
    case 24: unpack_24(row, header, out); break;
    case 32: unpack_32(row, header, out); break;
    default: unpack_indexed(row, header, out); break;
  }
}

Image32 blank_image(const DibHeader& header) {
  Image32 image;
  image.width = header.width;
  image.height = header.height;
  image.pixels.assign(static_cast<std::size_t>(header.width) * header.height, 0);
  return image;
}

std::optional<Image32> decode_uncompressed(std::span<const std::uint8_t> bits, const DibHeader& header) {
  const std::int64_t stride = dib_stride(header.width, header.bit_count);
  if (static_cast<std::int64_t>(bits.size()) / stride < header.height) return std::nullopt;
  Image32 image = blank_image(header);
  image.has_alpha = header.bit_count == 32 && (header.keeps_fourth_byte || header.alpha.bits > 0);
  for (int r = 0; r < header.height; ++r) {
    const int y = header.top_down ? r : header.height - 1 - r;
    Row row = bits.subspan(static_cast<std::size_t>(r * stride), static_cast<std::size_t>(stride));
    unpack_row(row, header, &image.pixels[static_cast<std::size_t>(y) * header.width]);
  }
  return image;
}

// Embedded images must agree with the header's size, or the header is lying
// about the bits that follow it.
std::optional<Image32> checked_embedded(std::optional<Image32> image, const DibHeader& header) {
  if (!image || image->width != header.width || image->height != header.height) return std::nullopt;
  return image;
}

void apply_mono_mapping(DibHeader& header, const DibDecodeOptions& options) {
  if (header.bit_count == 1 && options.mono == MonoMapping::Indices) header.palette = {0x000000, 0xFFFFFF};
}

}  // namespace

std::optional<Image32> decode_dib(const ByteReader& bmi, const ByteReader& bits, const DibDecodeOptions& options) {
  std::optional<DibHeader> header = parse_dib_header(bmi, options.usage);
  if (!header) return std::nullopt;
  apply_mono_mapping(*header, options);
  std::span<const std::uint8_t> data(bits.data(), bits.size());
  switch (header->compression) {
    case BI_RLE8:
    case BI_RLE4: return decode_rle(data, *header);
    case BI_JPEG: return checked_embedded(decode_jpeg(data), *header);
    case BI_PNG: return checked_embedded(decode_png(data), *header);
    default: return decode_uncompressed(data, *header);
  }
}

std::optional<Image32> decode_dib_in_record(const ByteReader& record, std::uint32_t off_bmi, std::uint32_t cb_bmi,
                                            std::uint32_t off_bits, std::uint32_t cb_bits,
                                            const DibDecodeOptions& options) {
  std::optional<ByteReader> bmi = record.sub(off_bmi, cb_bmi);
  std::optional<ByteReader> bits = record.sub(off_bits, cb_bits);
  if (!bmi || !bits) return std::nullopt;
  return decode_dib(*bmi, *bits, options);
}

}  // namespace velmora::platform
