// Choosing a font file for a FontRequest, through Fontconfig. The common
// Windows faces go to their metric-compatible Debian stand-ins (Arial and
// Helvetica to Liberation Sans, Times New Roman to Liberation Serif, Courier
// New to Liberation Mono, ...); Symbol, Wingdings and Tahoma come from the
// fonts-wine package when it is installed; a face that no installed font
// carries falls back by the request's pitch and family: roman to Liberation
// Serif, fixed pitch or modern to Liberation Mono, anything else to
// Liberation Sans. A CJK character set sends an unknown face to the CJK
// family, the symbol set to a symbol font. Thread-safe; results are cached.
#pragma once

#include "text/font_request.h"

#include <optional>
#include <string>

namespace velmora::platform {

struct FontFile {
  std::string path;
  int index = 0;  // face index inside a collection file

  bool operator==(const FontFile&) const = default;
};

struct MatchedFont {
  FontFile file;
  std::string family;             // the family Fontconfig reports, for tests and diagnostics
  bool synthetic_bold = false;    // bold was asked for but the file is not bold
  bool synthetic_italic = false;  // italic was asked for but the file is upright
};

// The font to draw a request with; empty only when no scalable font at all
// can be found.
std::optional<MatchedFont> match_font(const FontRequest& request);

// The font that draws a character the chosen face lacks, as the platform's
// font linking finds one: the installed font Fontconfig ranks first among
// those that carry the character, symbol-layout fonts left out. Empty when
// no installed font has it.
std::optional<FontFile> linked_font(char32_t code);

}  // namespace velmora::platform
