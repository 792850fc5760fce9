// Typed reads of the fields that many records share (MS-EMF 2.2): points,
// rectangles, sizes, transforms and point arrays. Each read advances the
// reader and gives an empty optional when the body is too short.
#pragma once

#include "common/byte_reader.h"
#include "common/limits.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::platform {

using limits::kMaxRecordPoints;

std::optional<POINT> read_pointl(ByteReader& r);  // two LONGs
std::optional<POINT> read_points(ByteReader& r);  // two SHORTs (the 16-bit record forms)
std::optional<SIZE> read_sizel(ByteReader& r);
std::optional<RECT> read_rectl(ByteReader& r);
std::optional<XFORM> read_xform(ByteReader& r);

// `count` points of the 32-bit (POINTL) or 16-bit (POINTS) form.
std::optional<std::vector<POINT>> read_point_array(ByteReader& r, std::uint32_t count, bool sixteen_bit);

// `count` DWORDs (polygon counts of the poly-poly records, dash lengths).
std::optional<std::vector<DWORD>> read_dword_array(ByteReader& r, std::uint32_t count);

}  // namespace velmora::platform
