#include "kernel/file_table.h"

#include <windows.h>

#include <unistd.h>

#include <mutex>
#include <unordered_map>

namespace velmora::platform {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<OpenFile>> files;
  // Never reused within the process, so a stale handle is found missing.
  std::uintptr_t next = 0x1002;
};

Table& table() {
  static Table* instance = new Table;  // outlives static destructors that might still close files
  return *instance;
}

// Whether the access of one open is allowed by the share mode of the other.
bool shares(std::uint32_t access, std::uint32_t share) {
  const bool read_ok = !(access & GENERIC_READ) || (share & FILE_SHARE_READ);
  const bool write_ok = !(access & GENERIC_WRITE) || (share & FILE_SHARE_WRITE);
  return read_ok && write_ok;
}

bool compatible(const OpenFile& held, const OpenFile& wanted) {
  return !held.is_same_file(wanted) ||
         (shares(wanted.access(), held.share()) && shares(held.access(), wanted.share()));
}

}  // namespace

OpenFile::~OpenFile() { ::close(fd_); }

std::optional<void*> register_open_file(std::unique_ptr<OpenFile> file) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  for (const auto& [handle, held] : t.files) {
    if (!compatible(*held, *file)) return std::nullopt;
  }
  const std::uintptr_t handle = t.next;
  t.next += 4;
  t.files.emplace(handle, std::move(file));
  return reinterpret_cast<void*>(handle);
}

std::shared_ptr<OpenFile> lookup_open_file(const void* handle) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  auto it = t.files.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == t.files.end() ? nullptr : it->second;
}

bool close_open_file(const void* handle) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  return t.files.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1;
}

}  // namespace velmora::platform
