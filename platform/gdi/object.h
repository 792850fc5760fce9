// Every platform object that a Win32 handle names (DCs, bitmaps, pens,
// brushes, fonts, palettes, regions, enhanced metafiles) lives in one
// process-wide handle table. A handle is an opaque, never-reused serial
// number, so a stale or forged handle is found missing instead of being
// dereferenced. The table is thread-safe; the objects themselves, like GDI
// objects, are used by one thread at a time.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

namespace velmora::platform {

// Values are the OBJ_* constants that GetObjectType reports.
enum class ObjectKind : DWORD {
  Pen = OBJ_PEN,
  Brush = OBJ_BRUSH,
  Palette = OBJ_PAL,
  Font = OBJ_FONT,
  Bitmap = OBJ_BITMAP,
  Region = OBJ_REGION,
  MemoryDC = OBJ_MEMDC,
  ExtPen = OBJ_EXTPEN,
  EnhMetaFile = OBJ_ENHMETAFILE,
};

class GdiObject {
 public:
  explicit GdiObject(ObjectKind kind) : kind_(kind) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  ObjectKind kind() const { return kind_; }
  // Stock objects are never deleted: DeleteObject on one succeeds and does nothing.
  bool is_stock() const { return stock_; }
  void mark_stock() { stock_ = true; }

 private:
  ObjectKind kind_;
  bool stock_ = false;
};

// Takes ownership and returns the new handle (never null).
void* register_object(std::unique_ptr<GdiObject> object);

// The live object behind a handle, or null when the handle is unknown.
GdiObject* lookup_object(const void* handle);

// The live object of type T (whose static member kKind names its kind), or null.
template <class T>
T* lookup(const void* handle) {
  GdiObject* object = lookup_object(handle);
  return object && object->kind() == T::kKind ? static_cast<T*>(object) : nullptr;
}

// Removes the object from the table and destroys it. False for unknown handles.
bool destroy_object(const void* handle);

// The handle of a live object (the reverse lookup), or null.
void* handle_of(const GdiObject* object);

// Count of live, non-stock objects of one kind; for leak checks in tests.
std::size_t live_object_count(ObjectKind kind);

}  // namespace velmora::platform
