#include "wmf/object_table.h"

namespace velmora::platform::wmf {

std::optional<std::uint16_t> ObjectTable::add(WmfObject object) {
  if (!free_.empty()) {
    const std::uint16_t slot = *free_.begin();
    free_.erase(free_.begin());
    slots_[slot] = std::move(object);
    return slot;
  }
  if (slots_.size() >= kMaxObjectSlots) return std::nullopt;
  slots_.push_back(std::move(object));
  return static_cast<std::uint16_t>(slots_.size() - 1);
}

const WmfObject* ObjectTable::find(std::uint32_t slot) const {
  if (slot >= slots_.size() || !slots_[slot]) return nullptr;
  return &*slots_[slot];
}

WmfObject* ObjectTable::find(std::uint32_t slot) {
  return const_cast<WmfObject*>(static_cast<const ObjectTable&>(*this).find(slot));
}

bool ObjectTable::remove(std::uint32_t slot) {
  if (!find(slot)) return false;
  slots_[slot].reset();
  free_.insert(static_cast<std::uint16_t>(slot));
  return true;
}

}  // namespace velmora::platform::wmf
