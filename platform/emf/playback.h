// The state of one PlayEnhMetaFile call, which every record handler
// receives together with the record's body (the bytes after its type and
// size fields). Handlers read the body only through the ByteReader; a body
// that is too short or otherwise malformed makes the handler return without
// drawing, and playback goes on with the next record.
#pragma once

#include "common/byte_reader.h"
#include "common/limits.h"
#include "emf/enh_metafile.h"
#include "gdi/dc.h"

#include <cstdint>
#include <vector>

namespace velmora::platform {

class Playback {
 public:
  static constexpr auto kMaxObjects = limits::kMaxObjects;  // see common/limits.h

  Playback(DeviceContext& dc, const EnhMetaFile& metafile);
  ~Playback();  // deletes the objects the picture left in its table
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  DeviceContext& dc() { return dc_; }
  const EnhMetaFile& metafile() const { return metafile_; }
  // SaveDC depth once the player has saved the caller's state: the
  // picture's RestoreDC never goes below it.
  int base_save_depth() const { return base_save_depth_; }

  // The handle at an object-table index, or the stock object when the
  // index has ENHMETA_STOCK_OBJECT set; null for an empty or invalid slot.
  HGDIOBJ object_at(std::uint32_t index) const;
  // Stores a new object at an index (1 .. nHandles-1), deleting what was
  // there; deletes the object and returns false when the index is invalid.
  bool store_object(std::uint32_t index, HGDIOBJ handle);
  // EMR_DELETEOBJECT: deletes the object at the index and empties the slot.
  void delete_object(std::uint32_t index);

 private:
  DeviceContext& dc_;
  const EnhMetaFile& metafile_;
  std::vector<HGDIOBJ> objects_;
  int base_save_depth_;
};

using RecordHandler = void (*)(Playback& playback, ByteReader body);

// Record type to handler. Each concern registers its own records.
class HandlerTable {
 public:
  void add(std::uint32_t type, RecordHandler handler);
  // Null for record types nobody handles: those records are skipped.
  RecordHandler find(std::uint32_t type) const { return type < handlers_.size() ? handlers_[type] : nullptr; }

 private:
  std::vector<RecordHandler> handlers_ = std::vector<RecordHandler>(EMR_MAX + 1, nullptr);
};

}  // namespace velmora::platform
