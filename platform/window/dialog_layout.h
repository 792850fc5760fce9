// From a dialog template to pixels: the template's font gives the dialog
// base units (the average width of the Latin letters and the cell height),
// and a dialog unit is a quarter of the horizontal and an eighth of the
// vertical base unit.
#pragma once

#include "window/resource_templates.h"

namespace velmora::window {

struct DialogUnits {
  int base_x = 8;   // pixels per 4 horizontal dialog units
  int base_y = 16;  // pixels per 8 vertical dialog units

  RECT to_pixels(const RECT& box) const;
};

// The font a template asks for, its height in pixels at 96 dots per inch.
LOGFONTW dialog_font(const DialogTemplate& dialog);

// The base units of a font, measured with the platform's text; those of the
// system font (8 x 16) without DS_SETFONT or when the font cannot be measured.
DialogUnits measure_dialog_units(const DialogTemplate& dialog);

}  // namespace velmora::window
