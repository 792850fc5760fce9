// Reading and writing 32-bit B, G, R, A pixel rows as PNG files (libpng),
// for the tools, the tests and the benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::tools {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;  // top-down rows of width * 4 bytes
};

// Writes rows that start at top_row and lie stride bytes apart (negative for
// bottom-up memory). With keep_alpha false the fourth byte is dropped (RGB).
bool write_png(const std::string& path, const std::uint8_t* top_row, int width, int height, std::ptrdiff_t stride,
               bool keep_alpha);
bool write_png(const std::string& path, const Image& image, bool keep_alpha);

// Reads any PNG as top-down B, G, R, A rows; false when it cannot be read.
bool read_png(const std::string& path, Image& image);

}  // namespace velmora::tools
