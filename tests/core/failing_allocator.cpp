#include "core/failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace velmora::test {
namespace {

std::atomic<bool> armed{false};
std::atomic<bool> failed{false};
std::atomic<std::size_t> remaining{0};

// True when this allocation is the chosen one.
bool take_failure() {
  if (!armed.load()) return false;
  if (remaining.fetch_sub(1) > 0) return false;
  armed.store(false);
  failed.store(true);
  return true;
}

}  // namespace

void fail_allocation_number(std::size_t n) {
  remaining.store(n);
  failed.store(false);
  armed.store(true);
}

bool disarm_allocation_failures() {
  armed.store(false);
  return failed.load();
}

}  // namespace velmora::test

// The replaced forms; operator new[] and the nothrow forms of the runtime
// come here too. Memory comes from malloc, which the runtime's delete frees.
void* operator new(std::size_t size) {
  if (velmora::test::take_failure()) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
