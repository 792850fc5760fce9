// Writing renderings: PNG bytes made in memory, then put in place whole, so
// that a failure never leaves a partial or empty file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/failure.h"

namespace velmora::render {

// Rows of premultiplied B, G, R, A pixels where they lie, top row first.
struct PixelRows {
  const std::uint8_t* top_row = nullptr;
  std::ptrdiff_t stride = 0;  // bytes from one row to the next, negative for bottom-up memory
  int width = 0;
  int height = 0;

  const std::uint8_t* row(int y) const { return top_row + stride * y; }
};

// An RGB PNG when every pixel is opaque, else RGBA with the colours taken
// back from premultiplied to straight alpha. The rows are converted one at
// a time as they are encoded, never copied whole.
Outcome<std::vector<std::uint8_t>> encode_png(const PixelRows& premultiplied);

// Writes a temporary file beside `path` and renames it over `path`; "-" is
// standard output. The failure names the output and the reason.
std::optional<Failure> write_output(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Called once before any thread writes: the permission bits new files get.
void remember_file_mode();

}  // namespace velmora::render
