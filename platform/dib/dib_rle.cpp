// BI_RLE8 and BI_RLE4 (MS-WMF 3.1.6 "Bitmap Compression"). The data is a
// sequence of two-byte units: a count and a value (a run), or 0 and an escape
// (end of line, end of bitmap, delta, or an absolute run of literal indices).
#include <algorithm>

#include "common/byte_reader.h"
#include "dib/dib_compressed.h"

namespace velmora::platform {
namespace {

constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

class RleCanvas {
 public:
  explicit RleCanvas(const DibHeader& header) : header_(header) {
    image_.width = header.width;
    image_.height = header.height;
    // Pixels that no run reaches keep index 0.
    image_.pixels.assign(static_cast<std::size_t>(header.width) * header.height, palette_pixel(0));
  }

  bool done() const { return row_ >= header_.height; }
  void put(std::uint32_t index) {
    if (x_ < header_.width && !done()) {
      const int y = header_.top_down ? row_ : header_.height - 1 - row_;
      image_.pixels[static_cast<std::size_t>(y) * header_.width + x_] = palette_pixel(index);
    }
    x_ = std::min(x_ + 1, header_.width);
  }
  void end_line() {
    x_ = 0;
    ++row_;
  }
  void move(int dx, int dy) {
    x_ = std::min(x_ + dx, header_.width);
    row_ = std::min(row_ + dy, header_.height);
  }
  Image32 take() { return std::move(image_); }

 private:
  std::uint32_t palette_pixel(std::uint32_t index) const {
    return index < header_.palette.size() ? header_.palette[index] : 0;
  }

  const DibHeader& header_;
  Image32 image_;
  int x_ = 0;
  int row_ = 0;  // counted in file order: from the bottom for a bottom-up DIB
};

// The i-th index of a run or literal: RLE8 has one index a byte, RLE4 two,
// the high nibble first.
std::uint8_t nth_index(std::span<const std::uint8_t> values, int i, bool four_bit) {
  if (!four_bit) return values[static_cast<std::size_t>(i)];
  const std::uint8_t byte = values[static_cast<std::size_t>(i / 2)];
  return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

// An absolute run of `count` literal indices, padded to a 16-bit boundary.
bool read_literal(ByteReader& in, int count, bool four_bit, RleCanvas& canvas) {
  const std::size_t bytes = four_bit ? (static_cast<std::size_t>(count) + 1) / 2 : static_cast<std::size_t>(count);
  auto values = in.bytes(bytes);
  if (!values) return false;
  for (int i = 0; i < count; ++i) canvas.put(nth_index(*values, i, four_bit));
  if (bytes % 2 != 0) in.skip(1);
  return true;
}

void write_run(std::uint8_t count, std::uint8_t value, bool four_bit, RleCanvas& canvas) {
  for (int i = 0; i < count; ++i) {
    const bool high = i % 2 == 0;
    canvas.put(!four_bit ? value : high ? value >> 4 : value & 0x0F);
  }
}

// One escape; false when decoding ends (end of bitmap or no more data).
bool read_escape(ByteReader& in, std::uint8_t code, bool four_bit, RleCanvas& canvas) {
  switch (code) {
    case kEndOfLine: canvas.end_line(); return true;
    case kEndOfBitmap: return false;
    case kDelta: {
      auto dx = in.read<std::uint8_t>();
      auto dy = in.read<std::uint8_t>();
      if (!dx || !dy) return false;
      canvas.move(*dx, *dy);
      return true;
    }
    default: return read_literal(in, code, four_bit, canvas);
  }
}

}  // namespace

// Every unit consumes at least two bytes, so decoding ends after at most
// bits.size() / 2 units whatever the data says.
Image32 decode_rle(std::span<const std::uint8_t> bits, const DibHeader& header) {
  const bool four_bit = header.compression == BI_RLE4;
  RleCanvas canvas(header);
  ByteReader in(bits);
  while (!canvas.done()) {
    auto count = in.read<std::uint8_t>();
    auto value = in.read<std::uint8_t>();
    if (!count || !value) break;
    if (*count > 0) {
      write_run(*count, *value, four_bit, canvas);
    } else if (!read_escape(in, *value, four_bit, canvas)) {
      break;
    }
  }
  return canvas.take();
}

}  // namespace velmora::platform
