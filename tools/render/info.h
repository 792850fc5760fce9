// --info: what a metafile holds, without drawing it: its kind by content,
// its headers, frame, bounds, device size, aspect ratio and the record
// types it uses with their counts; as text or, with --json, as JSON.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "render/metafile.h"
#include "render/options.h"

namespace velmora::render {

// The description of one file; `name` is how the user gave it.
std::string describe(const std::string& name, std::span<const std::uint8_t> bytes, const Picture& picture,
                     const Options& options);

}  // namespace velmora::render
