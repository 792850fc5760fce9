// Allocation-failure injection for the test executable that links this file:
// it replaces the global operator new, for the shared libraries too, and can
// be told to fail from the n-th allocation on.
#pragma once

#include <cstddef>

namespace velmora::test {

// Allocations 0 .. n - 1 from now succeed, every later one throws
// std::bad_alloc, until disarm().
void fail_allocations_after(std::size_t n);
// Back to normal; true if any allocation failed since arming.
bool disarm_allocation_failures();

}  // namespace velmora::test
