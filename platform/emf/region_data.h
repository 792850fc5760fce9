// The RegionData object of the region records (MS-EMF 2.2.24): a 32-byte
// RGNDATAHEADER (dwSize, iType, nCount, nRgnSize, rcBound) and nCount
// rectangles. Metafiles hold regions in device units of the reference
// device; playback moves them onto the surface with the record-to-device
// transform.
#pragma once

#include "common/byte_reader.h"
#include "common/limits.h"
#include "region/region.h"

#include <agg_trans_affine.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform {

using limits::kMaxRegionDataRects;

// Reads `size` bytes of RegionData at the reader's cursor (advancing past
// them). Empty optional when the header is malformed or the rectangles do
// not fit in `size`.
std::optional<std::vector<RECT>> read_region_data(ByteReader& reader, std::uint32_t size);

// The rectangles (reference-device units) as a region of surface pixels.
// Corners are rounded to whole pixels; under rotation or shear each
// rectangle becomes the parallelogram it maps to.
Region region_to_device(const std::vector<RECT>& rects, const agg::trans_affine& record_to_device);

}  // namespace velmora::platform
