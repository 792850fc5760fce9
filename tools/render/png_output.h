// Writing renderings: PNG bytes made in memory, then put in place whole, so
// that a failure never leaves a partial or empty file behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/png_io.h"
#include "render/failure.h"

namespace velmora::render {

// An RGB PNG when every pixel is opaque, else RGBA with the colours taken
// back from premultiplied to straight alpha.
Outcome<std::vector<std::uint8_t>> encode_png(const tools::Image& premultiplied);

// Writes a temporary file beside `path` and renames it over `path`; "-" is
// standard output. The failure names the output and the reason.
std::optional<Failure> write_output(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Called once before any thread writes: the permission bits new files get.
void remember_file_mode();

}  // namespace velmora::render
