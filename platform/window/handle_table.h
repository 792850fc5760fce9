// The window layer's own handles (windows, menus, accelerator tables): each
// kind in its own table, a handle an opaque serial number never reused in a
// process, so a stale or forged handle is found missing. The window layer
// runs on the one thread of the program's message loop; the tables take no
// locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

namespace velmora::window {

template <class T>
class HandleTable {
 public:
  // Serials of different tables differ in their low bits (tag 1 to 3), and
  // never look like the small integers of resource ids or the GDI handles.
  explicit HandleTable(std::uintptr_t tag) : tag_(tag) {}

  template <class Handle>
  Handle add(std::unique_ptr<T> object) {
    const std::uintptr_t key = (next_++ << 4) | tag_;
    objects_.emplace(key, std::move(object));
    return reinterpret_cast<Handle>(key);
  }

  T* find(const void* handle) const {
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == objects_.end() ? nullptr : it->second.get();
  }

  // Hands the object back so that it dies after the table forgot it.
  std::unique_ptr<T> take(const void* handle) {
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == objects_.end()) return nullptr;
    std::unique_ptr<T> object = std::move(it->second);
    objects_.erase(it);
    return object;
  }

  std::size_t size() const { return objects_.size(); }

  template <class Visit>
  void for_each(Visit&& visit) const {
    for (const auto& [key, object] : objects_) visit(reinterpret_cast<void*>(key), *object);
  }

 private:
  std::map<std::uintptr_t, std::unique_ptr<T>> objects_;
  std::uintptr_t tag_;
  std::uintptr_t next_ = 0x1000;
};

}  // namespace velmora::window
