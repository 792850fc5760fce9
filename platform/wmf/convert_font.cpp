// META_CREATEFONTINDIRECT (MS-WMF 2.3.4.2, its Font object 2.2.1.2) becomes
// EMR_EXTCREATEFONTINDIRECTW (MS-EMF 2.3.7.8): the 16-bit LOGFONT fields
// widened, the face name (bytes in the font's own character set) in UTF-16.
#include "wmf/ansi_text.h"
#include "wmf/convert_objects.h"

#include <algorithm>

namespace velmora::platform::wmf {
namespace {

constexpr std::size_t kFaceBytes = 32;  // LF_FACESIZE, terminator included
// The LogFont is written in the LogFontPanose size (MS-EMF 2.2.16), zeros
// after the 92-byte LogFont, as the platform's own recorder writes it.
constexpr std::size_t kLogFontBytes = 92;
constexpr std::size_t kLogFontPanoseBytes = 320;

constexpr std::size_t kCharsetByte = 3;  // in FontFields::flags

struct FontFields {
  std::int16_t numbers[5];  // height, width, escapement, orientation, weight
  std::uint8_t flags[8];    // italic, underline, strike-out, charset, out/clip precision, quality, pitch and family
  std::vector<std::uint8_t> face;
};

std::optional<FontFields> read_font(ByteReader params) {
  FontFields font{};
  for (std::int16_t& n : font.numbers) {
    const auto v = params.read<std::int16_t>();
    if (!v) return std::nullopt;
    n = *v;
  }
  for (std::uint8_t& f : font.flags) {
    const auto v = params.read<std::uint8_t>();
    if (!v) return std::nullopt;
    f = *v;
  }
  // The face name may be cut short by the record's end or end at a terminator.
  const auto face = params.bytes(std::min(params.remaining(), kFaceBytes - 1));
  font.face.assign(face->begin(), std::find(face->begin(), face->end(), std::uint8_t{0}));
  return font;
}

// The face name is text in the font's code page, except for symbol fonts:
// their names are plain ANSI, not symbol codes.
std::vector<DecodedChar> face_of(const FontFields& font) {
  const std::uint8_t charset = font.flags[kCharsetByte];
  std::vector<DecodedChar> face = decode_ansi(font.face, charset == kSymbolCharset ? ANSI_CHARSET : charset);
  if (face.size() > kFaceBytes - 1) face.resize(kFaceBytes - 1);
  return face;
}

FontRequest request_of(const FontFields& font) {
  LOGFONTW logfont{};
  logfont.lfHeight = font.numbers[0];
  logfont.lfWidth = font.numbers[1];
  logfont.lfEscapement = font.numbers[2];
  logfont.lfOrientation = font.numbers[3];
  logfont.lfWeight = font.numbers[4];
  BYTE* const flags[] = {&logfont.lfItalic, &logfont.lfUnderline, &logfont.lfStrikeOut, &logfont.lfCharSet,
                         &logfont.lfOutPrecision, &logfont.lfClipPrecision, &logfont.lfQuality,
                         &logfont.lfPitchAndFamily};
  for (std::size_t i = 0; i < std::size(flags); ++i) *flags[i] = font.flags[i];
  const std::vector<DecodedChar> face = face_of(font);
  for (std::size_t i = 0; i < face.size(); ++i) logfont.lfFaceName[i] = face[i].unit;
  return font_request_from(logfont);
}

EmfRecord font_record(std::uint32_t index, const FontFields& font) {
  EmfRecord record(EMR_EXTCREATEFONTINDIRECTW);
  record.u32(index);
  const std::size_t start = record.size();
  for (std::int16_t n : font.numbers) record.i32(n);
  for (std::uint8_t f : font.flags) record.u8(f);
  for (const DecodedChar& ch : face_of(font)) record.u16(ch.unit);
  record.zeros(kLogFontBytes - (record.size() - start));
  record.zeros(kLogFontPanoseBytes - kLogFontBytes);
  return record;
}

}  // namespace

void convert_create_font(const WmfRecord& record, Conversion& c) {
  const auto font = read_font(record.params);
  if (!font) return add_unused_object(c);
  WmfObject object;
  object.kind = ObjectKind::Font;
  object.font = request_of(*font);
  const auto slot = add_object(c, std::move(object));
  if (slot) c.emit(font_record(ObjectTable::emf_index(*slot), *font));
}

}  // namespace velmora::platform::wmf
