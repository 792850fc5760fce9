// WMF text and face names are bytes in the code page of their font's
// character set; the converted records carry UTF-16. Windows-1252 serves
// ANSI, DEFAULT and unknown sets; the symbol set maps to the private-use
// range U+F000-U+F0FF where symbol fonts keep their glyphs (as code page
// CP_SYMBOL does); the other sets use their Windows code page, through the
// C library's iconv, double-byte ones included.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velmora::platform::wmf {

inline constexpr std::uint8_t kSymbolCharset = 2;  // SYMBOL_CHARSET

struct DecodedChar {
  std::uint16_t unit;   // the UTF-16 code unit (every code page here stays in the BMP)
  std::uint8_t bytes;   // how many of the source bytes it took: 1, or 2 for a double-byte character
};

std::vector<DecodedChar> decode_ansi(std::span<const std::uint8_t> text, std::uint8_t charset);

}  // namespace velmora::platform::wmf
