#include "wmf/dib_parts.h"

#include <windows.h>

#include <algorithm>

namespace velmora::platform::wmf {
namespace {

constexpr std::uint32_t kCoreHeaderBytes = 12;  // BITMAPCOREHEADER
constexpr std::uint32_t kInfoHeaderBytes = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kAlphaBitfields = 6;    // BI_ALPHABITFIELDS: four masks

bool known_header_size(std::uint32_t size) {
  return size == kCoreHeaderBytes || size == kInfoHeaderBytes || size == 52 || size == 56 || size == 64 ||
         size == 108 || size == 124;
}

// Colour-table entries: the full table up to 8 bits per pixel unless
// biClrUsed says fewer; above that, only the optional biClrUsed entries.
std::uint64_t color_count(std::uint16_t bit_count, std::uint32_t clr_used) {
  if (bit_count > 8) return clr_used;
  const std::uint32_t full = 1u << bit_count;
  return clr_used == 0 ? full : std::min(clr_used, full);
}

std::optional<std::uint64_t> info_bytes(const ByteReader& dib, std::uint32_t usage) {
  const auto header = dib.read_at<std::uint32_t>(0);
  if (!header || !known_header_size(*header)) return std::nullopt;
  if (*header == kCoreHeaderBytes) {
    const auto bit_count = dib.read_at<std::uint16_t>(10);
    if (!bit_count) return std::nullopt;
    const std::uint64_t entry = usage == DIB_PAL_COLORS ? 2 : 3;  // RGBTRIPLE
    return *header + (*bit_count <= 8 ? (std::uint64_t{1} << *bit_count) * entry : 0);
  }
  const auto bit_count = dib.read_at<std::uint16_t>(14);
  const auto compression = dib.read_at<std::uint32_t>(16);
  const auto clr_used = dib.read_at<std::uint32_t>(32);
  if (!bit_count || !compression || !clr_used) return std::nullopt;
  std::uint64_t masks = 0;
  if (*header == kInfoHeaderBytes && *compression == BI_BITFIELDS) masks = 12;
  if (*header == kInfoHeaderBytes && *compression == kAlphaBitfields) masks = 16;
  const std::uint64_t entry = usage == DIB_PAL_COLORS ? 2 : 4;
  return *header + masks + color_count(*bit_count, *clr_used) * entry;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put_info_header(std::vector<std::uint8_t>& out, const Bitmap16& b, std::uint32_t image_bytes) {
  put32(out, kInfoHeaderBytes);
  put32(out, static_cast<std::uint32_t>(b.width));
  put32(out, static_cast<std::uint32_t>(b.height));  // bottom-up
  put16(out, 1);
  put16(out, b.bits_pixel);
  put32(out, BI_RGB);
  put32(out, image_bytes);
  put32(out, 0);
  put32(out, 0);
  put32(out, b.bits_pixel == 1 ? 2 : 0);
  put32(out, 0);
  if (b.bits_pixel == 1) {
    put32(out, 0x00000000);  // black
    put32(out, 0x00FFFFFF);  // white
  }
}

}  // namespace

std::optional<DibParts> split_dib(std::span<const std::uint8_t> dib, std::uint32_t usage) {
  const ByteReader reader(dib);
  const auto info = info_bytes(reader, usage);
  if (!info || *info >= dib.size()) return std::nullopt;
  const auto split = static_cast<std::size_t>(*info);
  return DibParts{dib.first(split), dib.subspan(split)};
}

std::optional<DibShape> dib_shape(std::span<const std::uint8_t> dib) {
  const ByteReader reader(dib);
  const auto header = reader.read_at<std::uint32_t>(0);
  if (!header || !known_header_size(*header)) return std::nullopt;
  const bool core = *header == kCoreHeaderBytes;
  const auto bit_count = reader.read_at<std::uint16_t>(core ? 10 : 14);
  std::optional<std::int32_t> height = reader.read_at<std::int32_t>(8);
  if (core) {
    const auto core_height = reader.read_at<std::int16_t>(6);
    height = core_height ? std::optional<std::int32_t>(*core_height) : std::nullopt;
  }
  if (!bit_count || !height) return std::nullopt;
  return DibShape{*height, *bit_count};
}

std::optional<Bitmap16> read_bitmap16(ByteReader& reader) {
  const auto type = reader.read<std::int16_t>();
  const auto width = reader.read<std::int16_t>();
  const auto height = reader.read<std::int16_t>();
  const auto width_bytes = reader.read<std::int16_t>();
  const auto planes = reader.read<std::uint8_t>();
  const auto bits_pixel = reader.read<std::uint8_t>();
  if (!type || !width || !height || !width_bytes || !planes || !bits_pixel) return std::nullopt;
  return Bitmap16{*width, *height, *width_bytes, *planes, *bits_pixel};
}

std::optional<std::vector<std::uint8_t>> bitmap16_to_dib(const Bitmap16& b, std::span<const std::uint8_t> bits) {
  const bool supported = b.planes == 1 && (b.bits_pixel == 1 || b.bits_pixel == 24 || b.bits_pixel == 32);
  if (!supported || b.width <= 0 || b.height <= 0 || b.width_bytes <= 0) return std::nullopt;
  const std::size_t row_bytes = (static_cast<std::size_t>(b.width) * b.bits_pixel + 7) / 8;
  const std::size_t stride = (static_cast<std::size_t>(b.width) * b.bits_pixel + 31) / 32 * 4;
  const auto rows = static_cast<std::size_t>(b.height);
  const auto source_stride = static_cast<std::size_t>(b.width_bytes);
  if (source_stride < row_bytes || stride * rows > kMaxBitmap16Bytes || bits.size() / source_stride < rows) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> dib;
  put_info_header(dib, b, static_cast<std::uint32_t>(stride * rows));
  for (std::size_t row = rows; row-- > 0;) {  // the Bitmap16 is top-down
    const auto source = bits.subspan(row * source_stride, row_bytes);
    dib.insert(dib.end(), source.begin(), source.end());
    dib.resize(dib.size() + (stride - row_bytes), 0);
  }
  return dib;
}

}  // namespace velmora::platform::wmf
