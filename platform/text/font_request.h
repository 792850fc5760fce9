// What a metafile asks for when it creates a font: the LOGFONT fields that
// choose and shape the glyphs, with the face name already in UTF-8. Sizes
// are in the logical units of the device context that selects the font.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace velmora::platform {

struct FontRequest {
  std::string face;          // UTF-8 face name, as written in the metafile
  int height = 0;            // < 0: character (em) height; > 0: cell height; 0: the default size
  int width = 0;             // average character width; 0 keeps the face's own proportions
  int escapement = 0;        // baseline angle, tenths of a degree counter-clockwise from the x axis
  int orientation = 0;       // glyph angle, same unit; used apart from escapement only in GM_ADVANCED
  int weight = 0;            // FW_* (100..900); 0 means FW_NORMAL
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  std::uint8_t charset = 0;           // *_CHARSET
  std::uint8_t pitch_and_family = 0;  // low 2 bits pitch, high 4 bits FF_* family
  std::uint8_t quality = 0;           // *_QUALITY: whether glyph edges are grey

  bool wants_bold() const { return weight >= kBoldWeight; }
  // NONANTIALIASED_QUALITY: two-level glyphs at every size.
  bool wants_aliased() const { return quality == kNonAntialiasedQuality; }

  // Weights from here up are drawn bold (FW_SEMIBOLD and heavier).
  static constexpr int kBoldWeight = 600;
  static constexpr std::uint8_t kNonAntialiasedQuality = 3;
};

// The request that a LOGFONTW describes. The face name stops at its first
// NUL or after LF_FACESIZE units, whichever comes first.
FontRequest font_request_from(const LOGFONTW& logfont);

}  // namespace velmora::platform
