#include "wmf/ansi_text.h"

#include <iconv.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

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
constexpr std::uint16_t kReplacement = 0xFFFD;

// The Windows code page of a LOGFONT character set; null for Windows-1252.
const char* code_page(std::uint8_t charset) {
  switch (charset) {
    case 128: return "CP932";   // SHIFTJIS_CHARSET
    case 129: return "CP949";   // HANGUL_CHARSET
    case 134: return "CP936";   // GB2312_CHARSET
    case 136: return "CP950";   // CHINESEBIG5_CHARSET
    case 161: return "CP1253";  // GREEK_CHARSET
    case 162: return "CP1254";  // TURKISH_CHARSET
    case 163: return "CP1258";  // VIETNAMESE_CHARSET
    case 177: return "CP1255";  // HEBREW_CHARSET
    case 178: return "CP1256";  // ARABIC_CHARSET
    case 186: return "CP1257";  // BALTIC_CHARSET
    case 204: return "CP1251";  // RUSSIAN_CHARSET
    case 222: return "CP874";   // THAI_CHARSET
    case 238: return "CP1250";  // EASTEUROPE_CHARSET
    case 255: return "CP437";   // OEM_CHARSET
    default: return nullptr;
  }
}

std::uint16_t from_cp1252(std::uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

class Converter {
 public:
  explicit Converter(const char* from) : cd_(iconv_open("UTF-16LE", from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // One character from one or two bytes; nothing when they are not one whole character.
  std::optional<std::uint16_t> convert(std::span<const std::uint8_t> bytes) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    char in[2] = {static_cast<char>(bytes[0]), bytes.size() > 1 ? static_cast<char>(bytes[1]) : '\0'};
    char out[4];
    char* in_ptr = in;
    char* out_ptr = out;
    std::size_t in_left = bytes.size();
    std::size_t out_left = sizeof(out);
    if (iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) return std::nullopt;
    if (out_left != 2 || in_left != 0) return std::nullopt;  // not exactly one BMP character
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(out[0]) | static_cast<std::uint8_t>(out[1]) << 8);
  }

 private:
  iconv_t cd_;
};

// Each character from one byte, or two when one is only a lead byte.
std::vector<DecodedChar> decode_with(Converter& converter, std::span<const std::uint8_t> text) {
  std::vector<DecodedChar> out;
  for (std::size_t i = 0; i < text.size();) {
    if (const auto single = converter.convert(text.subspan(i, 1))) {
      out.push_back({*single, 1});
      ++i;
    } else if (const auto pair = i + 1 < text.size() ? converter.convert(text.subspan(i, 2)) : std::nullopt) {
      out.push_back({*pair, 2});
      i += 2;
    } else {
      out.push_back({kReplacement, 1});
      ++i;
    }
  }
  return out;
}

// Opening a converter loads its code page's module and closing it unloads
// it: done per string, that costs a load each time, and on several threads
// at once the loads and unloads race inside the C library's loader. Each
// code page's converter is opened once and kept; a converter holds shift
// state, so it is used under the lock.
std::optional<std::vector<DecodedChar>> decode_in_code_page(const char* page, std::span<const std::uint8_t> text) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<Converter>> converters;
  std::lock_guard lock(mutex);
  std::unique_ptr<Converter>& converter = converters[page];
  if (!converter) converter = std::make_unique<Converter>(page);
  if (!converter->ok()) return std::nullopt;
  return decode_with(*converter, text);
}

}  // namespace

std::vector<DecodedChar> decode_ansi(std::span<const std::uint8_t> text, std::uint8_t charset) {
  if (const char* page = code_page(charset)) {
    if (auto decoded = decode_in_code_page(page, text)) return std::move(*decoded);
  }
  std::vector<DecodedChar> out;
  out.reserve(text.size());
  for (std::uint8_t byte : text) {
    const bool symbol = charset == kSymbolCharset && byte >= 0x20;
    out.push_back({symbol ? static_cast<std::uint16_t>(kSymbolBase + byte) : from_cp1252(byte), 1});
  }
  return out;
}

}  // namespace velmora::platform::wmf
