// The dashes of a wide pen, laid only where they can show. AGG's dasher
// walks the whole outline, and along a line millions of pixels long it makes
// millions of dashes outside the surface. Here each segment is first cut to
// a box (the surface grown by the pen's width): the parts outside only move
// the dash pattern on, the part inside is dashed, so the work follows the
// visible length of the outline.
#pragma once

#include <agg_basics.h>
#include <agg_path_storage.h>

#include <optional>
#include <vector>

namespace velmora::platform {

// The dashes of an outline (lines, closings and Bezier curves) as open
// polylines, each figure starting the pattern afresh, as AGG's dasher does.
// A straight edge moves the pattern on by its length cut to whole pixels, as
// the platform draws them; a curve's flattened pieces by their lengths.
// runs: drawn and gap lengths in turn, their sum positive.
// Empty when the dashes inside the box would exceed
// limits::kMaxDashesPerStroke; the caller then strokes the outline solid.
std::optional<agg::path_storage> clipped_dashes(agg::path_storage& outline, const std::vector<double>& runs,
                                                const agg::rect_d& box);

}  // namespace velmora::platform
