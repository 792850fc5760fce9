#include "gdi/pixel_memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace velmora::platform {
namespace {

// Smaller blocks come from the allocator's own free lists, already mapped.
constexpr std::size_t kKeptFromBytes = std::size_t{1} << 20;
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
  if (size >= kKeptFromBytes) {
    if (std::uint8_t* kept = KeptBlocks::instance().take(size)) {
      std::memset(kept, 0, size);
      return kept;
    }
  }
  return static_cast<std::uint8_t*>(std::calloc(size, 1));
}

void give_back_pixel_memory(std::uint8_t* memory, std::size_t size) {
  if (!memory) return;
  if (size >= kKeptFromBytes && KeptBlocks::instance().keep(memory, size)) return;
  std::free(memory);
}

std::size_t kept_pixel_memory() { return KeptBlocks::instance().bytes(); }

}  // namespace velmora::platform
