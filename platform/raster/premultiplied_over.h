// A premultiplied source composed over the destination at full constant
// alpha, as Velmora lays its result on the target: each channel becomes
// source + destination * (255 - source alpha) / 255, rounded, held at 255;
// a source of alpha 0 leaves the destination exactly as it was.
#pragma once

#include <cstdint>

namespace velmora::platform {

// n pixels of source `s` over n pixels of destination `p` (32-bit words);
// only pixels that change are stored.
void over_row(std::uint8_t* p, const std::uint8_t* s, int n);

}  // namespace velmora::platform
