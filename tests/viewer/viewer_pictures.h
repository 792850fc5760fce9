// Metafiles for the viewer tests: solid pictures of a known aspect ratio in
// each of the three kinds the viewer identifies.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora::test {

// An EMF whose frame is width_mm x height_mm, filled with one colour.
std::vector<std::uint8_t> solid_emf(int width_mm, int height_mm);
// A placeable WMF of the given box (in its units), filled.
std::vector<std::uint8_t> solid_placeable_wmf(int width, int height);
// A plain WMF that fills its window.
std::vector<std::uint8_t> solid_plain_wmf(int width, int height);

// The sample picture shipped with the project.
std::vector<std::uint8_t> tiger_emf();

}  // namespace velmora::test
