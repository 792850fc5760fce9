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

// Every unaligned form is replaced, so that whatever new gave, any delete
// frees: a runtime that brings its own forms (AddressSanitizer's does) would
// otherwise pair its nothrow or array new, which std::nothrow users and
// std::stable_sort's buffer reach, with the free below and report the
// mismatch. The aligned forms stay the runtime's, new and delete alike.
namespace {

void* allocate(std::size_t size) {
  if (velmora::test::take_failure()) return nullptr;
  return std::malloc(size ? size : 1);
}

void* allocate_or_throw(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate_or_throw(size); }
void* operator new[](std::size_t size) { return allocate_or_throw(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

// AGG's path and cell storage (system headers) grow their table of blocks
// before allocating the block itself: when that allocation fails, the new
// table is not yet counted and their destructors skip it, and a copy that
// fails part-way keeps what it had copied. A few KiB a failure, outside
// this project's code; the leak checker lets it pass in the executable
// that makes allocations fail on purpose (the hook must be visible to the
// sanitizer's runtime).
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:agg::vertex_block_storage\nleak:agg::rasterizer_cells_aa\n";
}
