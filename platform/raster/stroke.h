// Pen strokes. An outline arrives in device coordinates where an integer
// point is a pixel (the "index" convention of GDI's lines: a line from
// (0, 0) to (3, 0) lights pixels 0, 1 and 2). Cosmetic pens walk one-pixel
// Bresenham lines with their dash pattern; wide pens are stroked with AGG
// (caps, joins, miter limit, dashes) and the outline filled aliased with the
// pen's brush.
#pragma once

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
#include "gdi/path.h"

namespace velmora::platform {

// Strokes every figure of the outline with the pen. `scale` converts the
// pen's logical width and dash lengths to device pixels.
void stroke_outline(DeviceContext& dc, const DevicePath& outline, const PenTraits& pen, double scale);

// The pen's width in device pixels, and whether it draws as a one-pixel
// cosmetic line at that width.
double device_pen_width(const PenTraits& pen, double scale);
bool draws_cosmetic(const PenTraits& pen, double scale);

}  // namespace velmora::platform
