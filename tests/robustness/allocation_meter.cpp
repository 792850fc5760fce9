#include "robustness/allocation_meter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace velmora::test {
namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

void count_allocation(void* p) {
  const std::size_t now = live.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}

}  // namespace

std::size_t live_heap_bytes() { return live.load(); }
std::size_t peak_heap_bytes() { return peak.load(); }
void reset_heap_peak() { peak.store(live.load()); }

}  // namespace velmora::test

// The replaced forms; operator new[] and the nothrow forms of the runtime
// come here too. The usable size is counted, so delete needs no size.
void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  velmora::test::count_allocation(p);
  return p;
}

void operator delete(void* p) noexcept {
  if (!p) return;
  velmora::test::live.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
