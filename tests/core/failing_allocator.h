// Allocation-failure injection for the test executable that links this file:
// it replaces the global operator new, for the shared libraries too, and can
// be told to fail one chosen allocation.
#pragma once

#include <cstddef>

namespace velmora::test {

// Allocation number n from now (counting from 0) throws std::bad_alloc;
// all others succeed.
void fail_allocation_number(std::size_t n);
// Back to normal; true if the chosen allocation was reached and failed.
bool disarm_allocation_failures();

}  // namespace velmora::test
