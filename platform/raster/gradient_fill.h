// GradientFill: rectangles shaded along one axis and Gouraud-shaded
// triangles. Colours are 16-bit per channel (TRIVERTEX); a pixel takes the
// top byte of each interpolated channel, and its fourth byte is the
// interpolated vertex alpha, as the reference player writes it.
#pragma once

#include <windows.h>

#include "raster/blit.h"

namespace velmora::platform {

// A TRIVERTEX whose position is already in device pixels.
struct GradientVertex {
  double x = 0;
  double y = 0;
  std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};

// GRADIENT_FILL_RECT_H (vertical false) or _V: the rectangle spanned by the
// two vertices, right and bottom edges excluded; the colour runs from the
// left (top) vertex's at its left (top) pixel towards the other's.
void gradient_fill_rect(const Target& target, const GradientVertex& a, const GradientVertex& b, bool vertical);

// GRADIENT_FILL_TRIANGLE: pixels whose centres are inside, each coloured by
// the barycentric weights of its top-left corner, as the reference player
// colours them.
void gradient_fill_triangle(const Target& target, const GradientVertex& a, const GradientVertex& b,
                            const GradientVertex& c);

}  // namespace velmora::platform
