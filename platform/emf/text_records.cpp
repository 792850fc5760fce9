#include "emf/text_records.h"

#include "emf/record_fields.h"
#include "text/text_encoding.h"
#include "text/text_layout.h"

namespace velmora::platform {
namespace {

// Offsets in an EmrText count from the record's type field, 8 bytes before the body.
constexpr std::uint32_t kRecordHeaderSize = 8;

std::optional<std::u32string> read_string(ByteReader& r, std::uint32_t count, bool wide, UINT options,
                                          ByteEncoding encoding) {
  std::vector<std::uint16_t> units;
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (wide) {
      auto unit = r.read<std::uint16_t>();
      if (!unit) return std::nullopt;
      units.push_back(*unit);
    } else {
      auto byte = r.read<std::uint8_t>();
      if (!byte) return std::nullopt;
      bytes.push_back(*byte);
    }
  }
  // Glyph indices are numbers, not UTF-16: a value in the surrogate range
  // must stay as it is.
  const bool glyph_indices = (options & ETO_GLYPH_INDEX) != 0;
  if (wide) return glyph_indices ? std::u32string(units.begin(), units.end()) : decode_utf16(units);
  if (glyph_indices || encoding == ByteEncoding::Verbatim) return decode_bytes_verbatim(bytes);
  return decode_cp1252(bytes);
}

// nChars advances (or x, y pairs with ETO_PDY); false when they do not fit.
bool read_advances(ByteReader& r, std::uint32_t count, bool pairs, TextOut& out) {
  for (std::uint32_t i = 0; i < count; ++i) {
    auto dx = r.read<std::int32_t>();
    if (!dx) return false;
    out.dx.push_back(*dx);
    if (!pairs) continue;
    auto dy = r.read<std::int32_t>();
    if (!dy) return false;
    out.dy.push_back(*dy);
  }
  return true;
}

// A reader over the part of the record from an EmrText offset on.
std::optional<ByteReader> at_offset(const ByteReader& record, std::uint32_t offset) {
  if (offset < kRecordHeaderSize) return std::nullopt;
  const std::size_t start = offset - kRecordHeaderSize;
  if (start > record.size()) return std::nullopt;
  return record.sub(start, record.size() - start);
}

}  // namespace

std::optional<TextOut> read_emr_text(ByteReader& cursor, const TextRecordContext& context) {
  auto reference = read_pointl(cursor);
  auto count = cursor.read<std::uint32_t>();
  auto off_string = cursor.read<std::uint32_t>();
  auto options = cursor.read<std::uint32_t>();
  if (!reference || !count || !off_string || !options) return std::nullopt;
  if (*count > kMaxGlyphsPerRun) return std::nullopt;
  TextOut out;
  out.reference = *reference;
  out.options = *options;
  if (!(out.options & kEtoNoRect)) {
    out.rect = read_rectl(cursor);
    if (!out.rect) return std::nullopt;
  }
  auto off_dx = cursor.read<std::uint32_t>();
  if (!off_dx) return std::nullopt;
  if (*count == 0) return out;
  std::optional<ByteReader> string_bytes = at_offset(*context.record, *off_string);
  if (!string_bytes) return std::nullopt;
  auto codes = read_string(*string_bytes, *count, context.wide, out.options, context.bytes);
  if (!codes) return std::nullopt;
  out.codes = std::move(*codes);
  // A missing or broken advance array leaves the font's own advances.
  std::optional<ByteReader> dx_bytes = at_offset(*context.record, *off_dx);
  if (!dx_bytes || !read_advances(*dx_bytes, *count, (out.options & ETO_PDY) != 0, out)) {
    out.dx.clear();
    out.dy.clear();
  }
  return out;
}

std::optional<TextOut> read_small_text(ByteReader& body, ByteEncoding bytes) {
  auto reference = read_pointl(body);
  auto count = body.read<std::uint32_t>();
  auto options = body.read<std::uint32_t>();
  if (!reference || !count || !options || *count > kMaxGlyphsPerRun) return std::nullopt;
  if (!body.skip(12)) return std::nullopt;  // iGraphicsMode, exScale, eyScale
  TextOut out;
  out.reference = *reference;
  out.options = *options;
  if (!(out.options & kEtoNoRect)) {
    out.rect = read_rectl(body);
    if (!out.rect) return std::nullopt;
  }
  auto codes = read_string(body, *count, (out.options & kEtoSmallChars) == 0, out.options, bytes);
  if (!codes) return std::nullopt;
  out.codes = std::move(*codes);
  return out;
}

std::optional<LOGFONTW> read_logfont(ByteReader& r) {
  LOGFONTW lf{};
  auto height = r.read<std::int32_t>();
  auto width = r.read<std::int32_t>();
  auto escapement = r.read<std::int32_t>();
  auto orientation = r.read<std::int32_t>();
  auto weight = r.read<std::int32_t>();
  auto flags = r.bytes(8);  // italic, underline, strike-out, charset, precisions, quality, pitch and family
  if (!height || !width || !escapement || !orientation || !weight || !flags) return std::nullopt;
  lf.lfHeight = *height;
  lf.lfWidth = *width;
  lf.lfEscapement = *escapement;
  lf.lfOrientation = *orientation;
  lf.lfWeight = *weight;
  const std::span<const std::uint8_t> f = *flags;
  lf.lfItalic = f[0];
  lf.lfUnderline = f[1];
  lf.lfStrikeOut = f[2];
  lf.lfCharSet = f[3];
  lf.lfOutPrecision = f[4];
  lf.lfClipPrecision = f[5];
  lf.lfQuality = f[6];
  lf.lfPitchAndFamily = f[7];
  for (WCHAR& c : lf.lfFaceName) {
    auto unit = r.read<std::uint16_t>();
    if (!unit) return std::nullopt;
    c = *unit;
  }
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  return lf;
}

}  // namespace velmora::platform
