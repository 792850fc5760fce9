// Anti-aliased glyphs blended the way the platform blends its greyscale
// text: coverage in sixteenths, and the text and background colours mixed
// in a gamma space rather than linearly, so thin dark text on a light ground
// stays as light as the platform draws it. Clipped like every fill; every
// pixel with coverage gets 0 in its fourth byte.
#pragma once

#include "raster/target.h"

#include <agg_path_storage.h>

#include <cstdint>

namespace velmora::platform {

// `color` is a pixel word (0x00RRGGBB); the path is in AGG's convention.
void fill_glyphs_antialiased(const Target& target, agg::path_storage& glyphs, std::uint32_t color);

}  // namespace velmora::platform
