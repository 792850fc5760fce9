#include "wmf/ansi_text.h"

namespace velmora::platform::wmf {
namespace {

// Windows-1252 bytes 0x80-0x9F (the rest equal their Latin-1 code points);
// the five unassigned bytes keep their own value, as Windows maps them.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::uint16_t kSymbolBase = 0xF000;

std::uint16_t from_cp1252(std::uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

}  // namespace

std::vector<std::uint16_t> ansi_to_utf16(std::span<const std::uint8_t> text, std::uint8_t charset) {
  std::vector<std::uint16_t> out;
  out.reserve(text.size());
  for (std::uint8_t byte : text) {
    const bool symbol = charset == kSymbolCharset && byte >= 0x20;
    out.push_back(symbol ? static_cast<std::uint16_t>(kSymbolBase + byte) : from_cp1252(byte));
  }
  return out;
}

}  // namespace velmora::platform::wmf
