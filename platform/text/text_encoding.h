// Turning the strings of text records into code points. Metafiles carry
// UTF-16LE (the W records) or single bytes in the ANSI code page (the A
// records); the glyph lookup wants UTF-32 code points. A lone surrogate
// (half of a pair split across two records) is kept as it is: no font maps
// it, so it draws as the face's missing-glyph box, as on the platform.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace velmora::platform {

// UTF-16 code units (each held in a 32-bit unit, as WCHAR is here, or as
// read from a file) to code points.
std::u32string decode_utf16(std::span<const std::uint16_t> units);

// Bytes of Windows code page 1252 to code points. Symbol fonts want the raw
// byte values instead: see decode_bytes_verbatim.
std::u32string decode_cp1252(std::span<const std::uint8_t> bytes);

// Each byte as the code point of the same value.
std::u32string decode_bytes_verbatim(std::span<const std::uint8_t> bytes);

// Code points to UTF-8, for Fontconfig's family names.
std::string encode_utf8(std::u32string_view text);

}  // namespace velmora::platform
