// Béziers far larger than the surface, drawn only as finely as they show.
// AGG flattens a curve to a fixed tolerance in pixels, so a curve millions
// of pixels long becomes millions of segments, nearly all off the surface.
// A large curve is halved until each half either is small enough to keep
// or lies, with its control points, wholly outside the visible box; such a
// half becomes its chord, which leaves the winding inside the box, and so
// every fill and solid stroke there, exactly as it was.
#pragma once

#include "raster/surface.h"

#include <agg_basics.h>
#include <agg_path_storage.h>

#include <array>

namespace velmora::platform {

// Curves whose control points span at most this many pixels are kept whole.
inline constexpr double kWholeCurveExtent = 1024;

// Appends the cubic Bézier from out's last vertex c[0] through c[1], c[2]
// to c[3] (no move_to), culled against the box.
void append_visible_curve(agg::path_storage& out, const std::array<agg::point_d, 4>& c, const agg::rect_d& visible);

}  // namespace velmora::platform
