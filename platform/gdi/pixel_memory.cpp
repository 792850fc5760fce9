#include "gdi/pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace velmora::platform {
namespace {

// Smaller blocks come from the allocator's own free lists, already mapped.
constexpr std::size_t kKeptFromBytes = std::size_t{1} << 20;
// Large blocks are mapped on their own, aligned to the kernel's huge pages
// and marked for them, so a fresh capture faults in a few dozen pages
// instead of tens of thousands.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t mapped_size(std::size_t size) { return (size + kHugePage - 1) / kHugePage * kHugePage; }

// Zeroed anonymous memory of mapped_size(size) bytes on a huge-page
// boundary; null when it cannot be had.
std::uint8_t* map_large(std::size_t size) {
  const std::size_t length = mapped_size(size);
  if (length < size || length > SIZE_MAX - kHugePage) return nullptr;
  void* reserved = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (reserved == MAP_FAILED) return nullptr;
  auto* start = static_cast<std::uint8_t*>(reserved);
  const std::size_t lead = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
  if (lead) munmap(start, lead);
  if (kHugePage - lead) munmap(start + lead + length, kHugePage - lead);
  madvise(start + lead, length, MADV_HUGEPAGE);  // advice only: plain pages work too
  return start + lead;
}

void unmap_large(std::uint8_t* memory, std::size_t size) { munmap(memory, mapped_size(size)); }
// Two captures' worth of bitmaps at the larger sizes, and no more.
constexpr std::size_t kMaxKeptBlocks = 4;
constexpr std::size_t kMaxKeptBytes = std::size_t{512} << 20;

struct Block {
  std::uint8_t* memory;
  std::size_t size;
};

class KeptBlocks {
 public:
  static KeptBlocks& instance() {
    static KeptBlocks* kept = new KeptBlocks;  // never destroyed: bitmaps may be freed during exit
    return *kept;
  }

  std::uint8_t* take(std::size_t size) {
    std::lock_guard lock(mutex_);
    for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
      if (it->size != size) continue;
      std::uint8_t* memory = it->memory;
      bytes_ -= size;
      blocks_.erase(it);
      return memory;
    }
    return nullptr;
  }

  bool keep(std::uint8_t* memory, std::size_t size) {
    std::lock_guard lock(mutex_);
    if (blocks_.size() >= kMaxKeptBlocks || bytes_ + size > kMaxKeptBytes) return false;
    blocks_.push_back({memory, size});
    bytes_ += size;
    return true;
  }

  std::size_t bytes() {
    std::lock_guard lock(mutex_);
    return bytes_;
  }

 private:
  std::mutex mutex_;
  std::vector<Block> blocks_;
  std::size_t bytes_ = 0;
};

}  // namespace

std::uint8_t* take_pixel_memory(std::size_t size) {
  if (size < kKeptFromBytes) return static_cast<std::uint8_t*>(std::calloc(size, 1));
  if (std::uint8_t* kept = KeptBlocks::instance().take(size)) {
    std::memset(kept, 0, size);
    return kept;
  }
  return map_large(size);
}

void give_back_pixel_memory(std::uint8_t* memory, std::size_t size) {
  if (!memory) return;
  if (size < kKeptFromBytes) {
    std::free(memory);
  } else if (!KeptBlocks::instance().keep(memory, size)) {
    unmap_large(memory, size);
  }
}

std::size_t kept_pixel_memory() { return KeptBlocks::instance().bytes(); }

}  // namespace velmora::platform
