// Reading the text records' fields (MS-EMF 2.2.5 EmrText, 2.2.13 LogFont,
// 2.3.5.8 EMR_EXTTEXTOUTW and relatives) into typed, validated values: every
// offset and count is checked against the record's own bytes here, so the
// player only sees strings and advance arrays that are whole.
#pragma once

#include "common/byte_reader.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// MS-EMF 2.1.11 ExtTextOutOptions that only metafiles use.
inline constexpr UINT kEtoNoRect = 0x0100;      // the EmrText has no rectangle field
inline constexpr UINT kEtoSmallChars = 0x0200;  // EMR_SMALLTEXTOUT: 8-bit characters

// How the bytes of a single-byte (A) string become code points.
enum class ByteEncoding { Ansi, Verbatim };

struct TextOut {
  POINT reference{0, 0};       // logical
  UINT options = 0;            // ETO_*
  std::optional<RECT> rect;    // logical; absent with ETO_NO_RECT
  std::u32string codes;        // code points, or glyph indices with ETO_GLYPH_INDEX
  std::vector<double> dx;      // logical; empty when the record has none
  std::vector<double> dy;      // with ETO_PDY
};

struct TextRecordContext {
  const ByteReader* record;  // the whole body: EmrText offsets count from the record start, 8 bytes before it
  bool wide;                 // UTF-16 (W) or single-byte (A) strings
  ByteEncoding bytes;        // for single-byte strings
};

// The EmrText at the cursor (which moves past its fixed part); empty when a
// field, the string or the advance array lies outside the record.
std::optional<TextOut> read_emr_text(ByteReader& cursor, const TextRecordContext& context);

// EMR_SMALLTEXTOUT's body after its graphics-mode and scale fields: no
// advance array, characters 8 or 16 bits wide.
std::optional<TextOut> read_small_text(ByteReader& body, ByteEncoding bytes);

// The LogFont object: 92 bytes, the face name in UTF-16LE.
std::optional<LOGFONTW> read_logfont(ByteReader& r);

}  // namespace velmora::platform
