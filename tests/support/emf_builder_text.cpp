// The text-record helpers of EmfBuilder.
#include "support/emf_builder.h"

#include <cstring>

namespace velmora::test {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// Offset of the string in an EMR_EXTTEXTOUTW with one EmrText: type and size
// (8), rclBounds (16), iGraphicsMode, exScale, eyScale (12), then the EmrText's
// reference, nChars, offString, options, rcl and offDx (40).
constexpr std::uint32_t kExtTextOutStringOffset = 8 + 16 + 12 + 40;

}  // namespace

EmfBuilder& EmfBuilder::ext_create_font(std::uint32_t index, const LOGFONTW& font) {
  std::vector<std::uint8_t> body;
  put32(body, index);
  for (LONG v : {font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight})
    put32(body, u(v));
  for (BYTE b : {font.lfItalic, font.lfUnderline, font.lfStrikeOut, font.lfCharSet, font.lfOutPrecision,
                 font.lfClipPrecision, font.lfQuality, font.lfPitchAndFamily})
    body.push_back(b);
  for (WCHAR c : font.lfFaceName) put16(body, static_cast<std::uint16_t>(c));
  return raw(EMR_EXTCREATEFONTINDIRECTW, body);
}

EmfBuilder& EmfBuilder::ext_text_out_w(POINT reference, const std::u16string& text, const std::vector<int>& dx,
                                       UINT options, RECTL rect, DWORD graphics_mode) {
  const std::uint32_t string_bytes = static_cast<std::uint32_t>((text.size() * 2 + 3) & ~std::size_t{3});
  std::vector<std::uint8_t> body;
  for (int i = 0; i < 4; ++i) put32(body, 0);  // rclBounds: not used by players
  put32(body, graphics_mode);
  put32(body, f(1.0f));  // exScale
  put32(body, f(1.0f));  // eyScale
  put32(body, u(reference.x));
  put32(body, u(reference.y));
  put32(body, static_cast<std::uint32_t>(text.size()));  // nChars
  put32(body, kExtTextOutStringOffset);                  // offString
  put32(body, options);
  for (LONG v : {rect.left, rect.top, rect.right, rect.bottom}) put32(body, u(v));
  put32(body, dx.empty() ? 0 : kExtTextOutStringOffset + string_bytes);  // offDx
  for (char16_t c : text) put16(body, c);
  body.resize(body.size() + (string_bytes - text.size() * 2), 0);
  for (int d : dx) put32(body, u(d));
  return raw(EMR_EXTTEXTOUTW, body);
}

}  // namespace velmora::test
