// WMF to EMF conversion, record by record, as SetWinMetaFileBits does it.
// Contract: in, WMF records already validated by read_wmf; out, the bytes
// of an enhanced metafile that uses only EMF records, or nothing when the
// result would be too large. Records that cannot be read or have no EMF
// form are skipped.
//
// The picture's frame: the extent the caller gives, at the origin, with the
// WMF's window stretched over it; without one, the WMF's window is stretched
// over the whole reference device surface and the frame is the bounds of
// what it draws (a WMF that draws nothing gets a square frame).
#pragma once

#include "wmf/conversion.h"
#include "wmf/wmf_reader.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform::wmf {

std::optional<std::vector<std::uint8_t>> convert_wmf_to_emf(const WmfFile& wmf, PictureExtent extent);

}  // namespace velmora::platform::wmf
