#include "kernel/locale_text.h"

#include <climits>
#include <cstdint>

namespace velmora::platform {
namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool is_scalar_value(char32_t c) { return c <= kMaxCodePoint && (c < 0xD800 || c > 0xDFFF); }

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the UTF-8 sequence that `lead` starts, or 0 for a byte that
// cannot start one.
std::size_t utf8_length(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The code point of a complete, shortest-form UTF-8 sequence at the front
// of `bytes`, or 0 when there is none.
char32_t decode_utf8(std::string_view bytes, std::size_t length) {
  if (length == 0 || bytes.size() < length) return 0;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  char32_t c = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!is_continuation(byte)) return 0;
    c = (c << 6) | (byte & 0x3F);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};  // smallest code point per length
  return c >= kShortest[length] && is_scalar_value(c) ? c : 0;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLeadMarks[length] | (c >> (6 * (length - 1))));
  for (int shift = 6 * (length - 2); shift >= 0; shift -= 6) out += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
}

wchar_t take_utf8_or_byte(std::string_view& bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = utf8_length(lead);
  const char32_t c = decode_utf8(bytes, length);
  if (c != 0) {
    bytes.remove_prefix(length);
    return static_cast<wchar_t>(c);
  }
  bytes.remove_prefix(1);
  return static_cast<wchar_t>(lead);
}

}  // namespace

wchar_t take_narrow_char(std::string_view& bytes, std::mbstate_t& state) {
  if (bytes.empty()) return L'\0';
  wchar_t c = 0;
  const std::size_t used = std::mbrtowc(&c, bytes.data(), bytes.size(), &state);
  if (used == 0) {  // a null byte
    bytes.remove_prefix(1);
    return L'\0';
  }
  if (used <= bytes.size()) {
    bytes.remove_prefix(used);
    return c;
  }
  state = {};  // invalid or incomplete for the locale
  return take_utf8_or_byte(bytes);
}

std::optional<std::string> wide_to_narrow(const wchar_t* wide) {
  std::string out;
  std::mbstate_t state{};
  char encoded[MB_LEN_MAX];
  for (const wchar_t* p = wide; *p != L'\0'; ++p) {
    const auto c = static_cast<char32_t>(static_cast<std::uint32_t>(*p));
    if (!is_scalar_value(c)) return std::nullopt;
    const std::size_t n = std::wcrtomb(encoded, *p, &state);
    if (n != static_cast<std::size_t>(-1)) {
      out.append(encoded, n);
      continue;
    }
    state = {};
    append_utf8(out, c);
  }
  return out;
}

}  // namespace velmora::platform
