#include "window/module_resources.h"

#include <velmora_window.h>

#include <deque>

namespace velmora::window {
namespace {

std::deque<ResourceEntry>& registered() {
  static std::deque<ResourceEntry> entries;  // entries never move: handles point at them
  return entries;
}

bool is_registered(const void* entry) {
  for (const ResourceEntry& e : registered())
    if (&e == entry) return true;
  return false;
}

}  // namespace

const ResourceEntry* find_resource(LPCWSTR name, LPCWSTR type) {
  if (!name || !type) return nullptr;
  for (const ResourceEntry& e : registered())
    if (e.type.matches(type) && e.name.matches(name)) return &e;
  return nullptr;
}

std::span<const std::uint8_t> resource_bytes(LPCWSTR name, LPCWSTR type) {
  const ResourceEntry* entry = find_resource(name, type);
  return entry ? std::span<const std::uint8_t>(entry->data) : std::span<const std::uint8_t>();
}

}  // namespace velmora::window

using namespace velmora::window;

BOOL VelmoraRegisterModuleResources(const BYTE* data, DWORD size) {
  try {
    std::optional<std::vector<ResourceEntry>> entries = read_res_file(velmora::platform::ByteReader(data, size));
    if (!entries) return FALSE;
    for (ResourceEntry& e : *entries) registered().push_back(std::move(e));
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

// The module handle is not looked at: the program is the only module with
// resources. A resource handle is the entry's address, checked before use.
HRSRC WINAPI FindResourceW(HMODULE /*hModule*/, LPCWSTR lpName, LPCWSTR lpType) {
  return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(find_resource(lpName, lpType)));
}

HGLOBAL WINAPI LoadResource(HMODULE /*hModule*/, HRSRC hResInfo) {
  return is_registered(hResInfo) ? static_cast<HGLOBAL>(hResInfo) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
  if (!is_registered(hResData)) return nullptr;
  return static_cast<ResourceEntry*>(hResData)->data.data();
}

DWORD WINAPI SizeofResource(HMODULE /*hModule*/, HRSRC hResInfo) {
  if (!is_registered(hResInfo)) return 0;
  return static_cast<DWORD>(reinterpret_cast<ResourceEntry*>(hResInfo)->data.size());
}
