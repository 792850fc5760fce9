// A WMF made from an enhanced metafile (as GetWinMetaFileBits makes them)
// carries the original EMF in META_ESCAPE MFCOMMENT records
// (MS-WMF 2.3.6.1 META_ESCAPE_ENHANCED_METAFILE). The platform's conversion
// gives that original back rather than the WMF approximation of it.
#pragma once

#include "wmf/wmf_reader.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform::wmf {

// The EMF bytes gathered from the records, in order, or nothing when the
// WMF carries none or its pieces do not agree with each other (sizes,
// count, total). The bytes are not yet validated as an EMF.
std::optional<std::vector<std::uint8_t>> embedded_emf(const std::vector<WmfRecord>& records);

}  // namespace velmora::platform::wmf
