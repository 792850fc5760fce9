// Small pictures, each holding a family of records with counts, offsets and
// nested structures, for the truncation and corruption sweeps. They are
// built small on purpose: a sweep plays each picture hundreds of times.
#pragma once

#include "robustness/hostile_input.h"

#include <string>
#include <vector>

namespace velmora::test {

struct SweepPicture {
  std::string name;
  Bytes bytes;
};

// EMF pictures: shapes and paths, text, bitmaps and palettes, clipping and transforms.
std::vector<SweepPicture> emf_sweep_pictures();
// Plain WMF pictures for the conversion: objects and shapes, text, bitmaps and clipping.
std::vector<SweepPicture> wmf_sweep_pictures();

}  // namespace velmora::test
