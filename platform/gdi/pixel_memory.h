// Pixel memory of bitmaps: always zeroed, as a new DIB section is. Large
// blocks are what a fresh capture costs most: tens of megabytes of new pages
// fault in one by one on first touch, many times the cost of a pass over
// memory already mapped. So the freed blocks of large bitmaps are kept, a
// few at a time, for the next bitmaps of the same size (a capture and its
// result, call after call), and handed out zeroed again; new ones are
// mapped in huge pages where the kernel allows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::platform {

// `size` zeroed bytes, or null when they cannot be had.
std::uint8_t* take_pixel_memory(std::size_t size);
// Returns memory from take_pixel_memory of the same size.
void give_back_pixel_memory(std::uint8_t* memory, std::size_t size);
// Bytes kept for reuse right now; for tests.
std::size_t kept_pixel_memory();

}  // namespace velmora::platform
