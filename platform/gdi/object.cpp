#include "gdi/object.h"

#include <platform_diagnostics.h>

#include <mutex>
#include <unordered_map>

namespace velmora::platform {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
  std::unordered_map<const GdiObject*, std::uintptr_t> handles;
  // Handles start high and step by 4 so that they look like neither small
  // integers nor stock indices, and are never reused within a process.
  std::uintptr_t next = 0x10000;
};

Table& table() {
  static Table* instance = new Table;  // outlives every static destructor that might release objects
  return *instance;
}

}  // namespace

void* register_object(std::unique_ptr<GdiObject> object) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  const std::uintptr_t handle = t.next;
  t.next += 4;
  t.handles.emplace(object.get(), handle);
  t.objects.emplace(handle, std::move(object));
  return reinterpret_cast<void*>(handle);
}

GdiObject* lookup_object(const void* handle) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second.get();
}

bool destroy_object(const void* handle) {
  std::unique_ptr<GdiObject> doomed;
  {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == t.objects.end()) return false;
    doomed = std::move(it->second);
    t.handles.erase(doomed.get());
    t.objects.erase(it);
  }
  return true;  // destroyed outside the lock: a destructor may release further objects
}

void* handle_of(const GdiObject* object) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  auto it = t.handles.find(object);
  return it == t.handles.end() ? nullptr : reinterpret_cast<void*>(it->second);
}

std::size_t live_object_count(ObjectKind kind) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  std::size_t count = 0;
  for (const auto& [handle, object] : t.objects) {
    if (object->kind() == kind && !object->is_stock()) ++count;
  }
  return count;
}

}  // namespace velmora::platform

size_t VelmoraPlatformLiveObjects(DWORD objectType) {
  return velmora::platform::live_object_count(static_cast<velmora::platform::ObjectKind>(objectType));
}
