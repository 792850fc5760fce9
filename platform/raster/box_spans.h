// Areas made only of whole-pixel boxes (axis-aligned rectangles with corners
// on whole pixel coordinates) that all turn the same way, as two-level
// glyphs are drawn: their non-zero fill is the union of the boxes, so they
// can be painted as spans without sampling any edge.
#pragma once

#include "raster/painter.h"

#include <agg_path_storage.h>

#include <optional>
#include <vector>

namespace velmora::platform {

// Each box's spans on rows [0, height), box after box: overlapping boxes
// share pixels; nothing when the path is not such an area.
std::optional<std::vector<DeviceSpan>> same_turn_box_spans(agg::path_storage& path, int height);

// The same pixels with none twice, sorted by row then column: for painting
// that must touch each pixel once.
std::vector<DeviceSpan> union_of_spans(std::vector<DeviceSpan> spans);

}  // namespace velmora::platform
