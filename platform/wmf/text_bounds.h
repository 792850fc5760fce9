// How the platform's conversion measures one text output: the advance of
// each character as the reference device draws the font (hinted at its
// size there), each rounded to whole logical units on its own (a WMF text
// record without spacing gets these as its spacing), and the box it counts
// as drawn, in logical units: the run's advances by its cell height, placed
// by the alignment and left unturned (see text_bounds.cpp).
#pragma once

#include "text/font_request.h"

#include <agg_basics.h>
#include <agg_trans_affine.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace velmora::platform::wmf {

// Character extra and justification, in logical units.
struct TextSpacing {
  int char_extra = 0;
  int break_extra = 0;
  int break_count = 0;
};

struct TextRunPlacement {
  std::u32string_view codes;
  std::span<const std::int32_t> dx;  // logical advances, or empty for the font's own
  POINT reference;                   // logical
  UINT align = TA_LEFT | TA_TOP;
  TextSpacing spacing;  // counts only without dx
};

struct TextRunMeasure {
  std::vector<std::int32_t> advances;  // logical, one per character
  agg::rect_d box;                     // logical
};

// Through the page-to-device mapping; empty when the font cannot lay the
// text out.
std::optional<TextRunMeasure> measure_text_run(const FontRequest& font, const TextRunPlacement& run,
                                               const agg::trans_affine& page);

}  // namespace velmora::platform::wmf
