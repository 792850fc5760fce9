#include "dib/dib_header.h"

#include "common/limits.h"

#include <algorithm>
#include <array>
#include <bit>


namespace velmora::platform {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;  // BITMAPCOREHEADER
constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
// BITMAPV2INFOHEADER and later carry the red, green and blue masks at
// offset 40, V3 and later the alpha mask at 52. The 64-byte OS/2 header
// puts other fields there, so it is read as a plain info header.
constexpr std::uint32_t kHeaderWithMasks = 52;
constexpr std::uint32_t kHeaderWithAlphaMask = 56;
constexpr std::uint32_t kOs2InfoHeaderSize = 64;
constexpr auto kMaxHeaderSize = limits::kMaxDibHeaderBytes;
constexpr DWORD kAlphaBitfields = 6;            // BI_ALPHABITFIELDS (Windows CE): masks with alpha

constexpr std::array<std::uint32_t, 20> kDefaultPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
    0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

ChannelMask make_mask(std::uint32_t mask) {
  ChannelMask channel;
  channel.mask = mask;
  if (mask == 0) return channel;
  channel.shift = std::countr_zero(mask);
  channel.bits = 32 - std::countl_zero(mask) - channel.shift;
  return channel;
}

bool depth_fits_compression(int bit_count, DWORD compression) {
  switch (compression) {
    case BI_RGB: return bit_count == 1 || bit_count == 4 || bit_count == 8 || bit_count == 16 ||
                        bit_count == 24 || bit_count == 32;
    case BI_RLE8: return bit_count == 8;
    case BI_RLE4: return bit_count == 4;
    case BI_BITFIELDS:
    case kAlphaBitfields: return bit_count == 16 || bit_count == 32;
    case BI_JPEG:
    case BI_PNG: return true;  // the embedded image brings its own depth
    default: return false;
  }
}

bool size_is_sane(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxDibSide && height <= kMaxDibSide &&
         width * height <= kMaxDibPixels;
}

// The implicit layouts of uncompressed 16 and 32-bit DIBs: 5-5-5 and 8-8-8
// with the fourth byte kept as the source's own.
void set_default_masks(DibHeader& header) {
  if (header.bit_count == 16) {
    header.red = make_mask(0x7C00);
    header.green = make_mask(0x03E0);
    header.blue = make_mask(0x001F);
  } else if (header.bit_count == 32) {
    header.red = make_mask(0xFF0000);
    header.green = make_mask(0x00FF00);
    header.blue = make_mask(0x0000FF);
    header.keeps_fourth_byte = true;
  }
}

// Reads the masks of a BI_BITFIELDS header; returns the offset just past
// them, where the colour table (if any) begins.
std::optional<std::size_t> read_masks(const ByteReader& bmi, std::uint32_t header_size, DibHeader& header) {
  const bool in_header = header_size >= kHeaderWithMasks && header_size != kOs2InfoHeaderSize;
  const std::size_t at = in_header ? kInfoHeaderSize : header_size;
  auto red = bmi.read_at<std::uint32_t>(at);
  auto green = bmi.read_at<std::uint32_t>(at + 4);
  auto blue = bmi.read_at<std::uint32_t>(at + 8);
  if (!red || !green || !blue) return std::nullopt;
  header.red = make_mask(*red);
  header.green = make_mask(*green);
  header.blue = make_mask(*blue);
  const bool has_alpha_mask = in_header ? header_size >= kHeaderWithAlphaMask : header.compression == kAlphaBitfields;
  if (has_alpha_mask) header.alpha = make_mask(bmi.read_at<std::uint32_t>(at + 12).value_or(0));
  // The standard 8-8-8 layout is the same as BI_RGB's, fourth byte included.
  header.keeps_fourth_byte = header.bit_count == 32 && *red == 0xFF0000 && *green == 0xFF00 && *blue == 0xFF;
  if (in_header) return header_size;
  return at + (has_alpha_mask ? 16 : 12);
}

std::uint32_t read_table_entry(const ByteReader& bmi, std::size_t at, ColorUsage usage) {
  if (usage == ColorUsage::PaletteIndices) return default_palette_pixel(*bmi.read_at<std::uint16_t>(at));
  const std::uint32_t b = *bmi.read_at<std::uint8_t>(at);
  const std::uint32_t g = *bmi.read_at<std::uint8_t>(at + 1);
  const std::uint32_t r = *bmi.read_at<std::uint8_t>(at + 2);
  return (r << 16) | (g << 8) | b;
}

// A table shorter than the header promises is read as far as it goes; the
// missing entries are black. Writers that trim unused entries exist, and a
// missing colour is no danger to anyone.
void read_palette(const ByteReader& bmi, std::size_t at, std::size_t entries, std::size_t entry_size,
                  ColorUsage usage, DibHeader& header) {
  header.palette.assign(entries, 0);
  for (std::size_t i = 0; i < entries && bmi.fits(at + i * entry_size, entry_size); ++i)
    header.palette[i] = read_table_entry(bmi, at + i * entry_size, usage);
}

std::size_t table_entries(int bit_count, std::uint32_t clr_used) {
  if (bit_count > 8) return 0;
  const std::size_t full = std::size_t{1} << bit_count;
  return clr_used == 0 ? full : std::min<std::size_t>(clr_used, full);
}

std::optional<DibHeader> parse_core_header(const ByteReader& bmi, ColorUsage usage) {
  auto width = bmi.read_at<std::uint16_t>(4);
  auto height = bmi.read_at<std::uint16_t>(6);
  auto bit_count = bmi.read_at<std::uint16_t>(10);
  if (!width || !height || !bit_count) return std::nullopt;
  DibHeader header;
  header.width = *width;
  header.height = *height;
  header.bit_count = *bit_count;
  if (!size_is_sane(header.width, header.height) || !depth_fits_compression(header.bit_count, BI_RGB))
    return std::nullopt;
  set_default_masks(header);
  const std::size_t entry_size = usage == ColorUsage::PaletteIndices ? 2 : 3;  // RGBTRIPLE
  read_palette(bmi, kCoreHeaderSize, table_entries(header.bit_count, 0), entry_size, usage, header);
  return header;
}

std::optional<DibHeader> parse_info_header(const ByteReader& bmi, std::uint32_t header_size, ColorUsage usage) {
  auto width = bmi.read_at<std::int32_t>(4);
  auto height = bmi.read_at<std::int32_t>(8);
  auto bit_count = bmi.read_at<std::uint16_t>(14);
  auto compression = bmi.read_at<std::uint32_t>(16);
  auto clr_used = bmi.read_at<std::uint32_t>(32);
  if (!width || !height || !bit_count || !compression || !clr_used) return std::nullopt;
  const std::int64_t rows = *height < 0 ? -std::int64_t{*height} : *height;
  if (!size_is_sane(*width, rows) || !depth_fits_compression(*bit_count, *compression)) return std::nullopt;
  DibHeader header;
  header.width = *width;
  header.height = static_cast<int>(rows);
  header.top_down = *height < 0;
  header.bit_count = *bit_count;
  header.compression = *compression;
  std::size_t table_at = header_size;
  if (header.compression == BI_BITFIELDS || header.compression == kAlphaBitfields) {
    auto after_masks = read_masks(bmi, header_size, header);
    if (!after_masks) return std::nullopt;
    table_at = *after_masks;
  } else {
    set_default_masks(header);
  }
  const std::size_t entry_size = usage == ColorUsage::PaletteIndices ? 2 : 4;
  read_palette(bmi, table_at, table_entries(header.bit_count, *clr_used), entry_size, usage, header);
  return header;
}

}  // namespace

std::uint32_t default_palette_pixel(std::uint32_t index) {
  return index < kDefaultPalette.size() ? kDefaultPalette[index] : 0;
}

std::optional<DibHeader> parse_dib_header(const ByteReader& bmi, ColorUsage usage) {
  auto header_size = bmi.read_at<std::uint32_t>(0);
  if (!header_size || *header_size > kMaxHeaderSize || !bmi.fits(0, *header_size)) return std::nullopt;
  if (*header_size == kCoreHeaderSize) return parse_core_header(bmi, usage);
  if (*header_size < kInfoHeaderSize) return std::nullopt;
  return parse_info_header(bmi, *header_size, usage);
}

}  // namespace velmora::platform
