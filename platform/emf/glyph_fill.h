// Anti-aliased glyphs blended the way the platform blends its greyscale
// text: coverage in sixteenths, and the text and background colours mixed
// in a gamma space rather than linearly, so thin dark text on a light ground
// stays as light as the platform draws it. Clipped by the DC like every
// fill; every pixel with coverage gets 0 in its fourth byte.
#pragma once

#include "gdi/dc.h"

#include <agg_path_storage.h>

namespace velmora::platform {

void fill_glyphs_antialiased(DeviceContext& dc, agg::path_storage& glyphs, COLORREF color);

}  // namespace velmora::platform
