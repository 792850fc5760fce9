// Measures the heap a piece of code needs: the test executable that links
// allocation_meter.cpp counts every byte that operator new hands out (the
// shared libraries' allocations too) and keeps the peak of what is live.
#pragma once

#include <cstddef>

namespace velmora::test {

// Bytes live right now through operator new.
std::size_t live_heap_bytes();
// The most bytes that were live at once since the last reset.
std::size_t peak_heap_bytes();
// Starts a new peak from what is live now.
void reset_heap_peak();

}  // namespace velmora::test
