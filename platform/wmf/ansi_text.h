// WMF text and face names are bytes in the code page of their font's
// character set; the converted records carry UTF-16. Windows-1252 stands
// for every single-byte set, and the symbol set maps to the private-use
// range U+F000-U+F0FF where symbol fonts keep their glyphs (as code page
// CP_SYMBOL does). Multi-byte sets are read as Windows-1252 too: each byte
// stays one character, so per-character spacing arrays keep their meaning.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velmora::platform::wmf {

inline constexpr std::uint8_t kSymbolCharset = 2;  // SYMBOL_CHARSET

std::vector<std::uint16_t> ansi_to_utf16(std::span<const std::uint8_t> text, std::uint8_t charset);

}  // namespace velmora::platform::wmf
