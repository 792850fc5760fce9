#include "text/font_request.h"

#include "text/text_encoding.h"

#include <vector>

namespace velmora::platform {

namespace {

std::string face_name_utf8(const WCHAR (&name)[LF_FACESIZE]) {
  std::vector<std::uint16_t> units;
  for (WCHAR c : name) {
    if (c == 0) break;
    units.push_back(static_cast<std::uint16_t>(c));
  }
  return encode_utf8(decode_utf16(units));
}

}  // namespace

FontRequest font_request_from(const LOGFONTW& logfont) {
  FontRequest request;
  request.face = face_name_utf8(logfont.lfFaceName);
  request.height = logfont.lfHeight;
  request.width = logfont.lfWidth;
  request.escapement = logfont.lfEscapement;
  request.orientation = logfont.lfOrientation;
  request.weight = logfont.lfWeight;
  request.italic = logfont.lfItalic != 0;
  request.underline = logfont.lfUnderline != 0;
  request.strike_out = logfont.lfStrikeOut != 0;
  request.charset = logfont.lfCharSet;
  request.pitch_and_family = logfont.lfPitchAndFamily;
  request.quality = logfont.lfQuality;
  return request;
}

}  // namespace velmora::platform
