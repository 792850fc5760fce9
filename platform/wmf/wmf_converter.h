// WMF to EMF conversion, record by record, as SetWinMetaFileBits does it.
// Contract: in, WMF records already validated by read_wmf; out, the bytes
// of an enhanced metafile that uses only EMF records, or nothing when the
// result would be too large. Records that cannot be read or have no EMF
// form are skipped.
//
// The picture's frame: when the WMF draws in MM_ANISOTROPIC or
// MM_ISOTROPIC (or sets no mode, as players then use MM_ANISOTROPIC) with a
// window extent set before its first drawing record, the frame is that
// window, so the picture keeps the margins and proportions its author gave
// it. Otherwise the frame is the bounds of what it draws; a WMF that draws
// nothing gets a square frame.
#pragma once

#include "wmf/wmf_reader.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform::wmf {

std::optional<std::vector<std::uint8_t>> convert_wmf_to_emf(const WmfFile& wmf);

}  // namespace velmora::platform::wmf
