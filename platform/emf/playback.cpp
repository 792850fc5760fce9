#include "emf/playback.h"

#include "gdi/gdi_objects.h"

#include <algorithm>

namespace velmora::platform {

Playback::Playback(DeviceContext& dc, const EnhMetaFile& metafile)
    : dc_(dc),
      metafile_(metafile),
      objects_(std::clamp<std::size_t>(metafile.header().nHandles, 1, kMaxObjects), nullptr),
      base_save_depth_(dc.save_depth()) {}

Playback::~Playback() {
  for (HGDIOBJ handle : objects_) {
    if (handle) destroy_object(handle);
  }
}

HGDIOBJ Playback::object_at(std::uint32_t index) const {
  if (index & ENHMETA_STOCK_OBJECT) return stock_object(static_cast<int>(index & ~ENHMETA_STOCK_OBJECT));
  return index > 0 && index < objects_.size() ? objects_[index] : nullptr;
}

bool Playback::store_object(std::uint32_t index, HGDIOBJ handle) {
  if (index == 0 || index >= objects_.size()) {
    destroy_object(handle);
    return false;
  }
  if (objects_[index]) destroy_object(objects_[index]);
  objects_[index] = handle;
  return true;
}

void Playback::delete_object(std::uint32_t index) {
  if (index == 0 || index >= objects_.size() || !objects_[index]) return;
  destroy_object(objects_[index]);
  objects_[index] = nullptr;
}

void HandlerTable::add(std::uint32_t type, RecordHandler handler) {
  if (type < handlers_.size()) handlers_[type] = handler;
}

}  // namespace velmora::platform
