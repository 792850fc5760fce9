#include "window/menus.h"

#include "window/handle_table.h"
#include "window/module_resources.h"

#include <algorithm>
#include <memory>

namespace velmora::window {
namespace {

HandleTable<Menu>& menus() {
  static HandleTable<Menu> table(2);
  return table;
}

HMENU build_menu(const std::vector<MenuItem>& items) {
  auto menu = std::make_unique<Menu>();
  for (const MenuItem& item : items) {
    MenuEntry entry{item.text, item.id, item.flags, nullptr};
    if (item.flags & MF_POPUP) entry.popup = build_menu(item.children);
    menu->entries.push_back(std::move(entry));
  }
  return menus().add<HMENU>(std::move(menu));
}

const MenuEntry* find_entry(HMENU handle, UINT item, UINT flags) {
  const Menu* menu = find_menu(handle);
  if (!menu) return nullptr;
  if (flags & MF_BYPOSITION) return item < menu->entries.size() ? &menu->entries[item] : nullptr;
  for (const MenuEntry& entry : menu->entries) {
    if (!entry.popup && entry.id == item) return &entry;
    if (entry.popup)
      if (const MenuEntry* inner = find_entry(entry.popup, item, flags)) return inner;
  }
  return nullptr;
}

}  // namespace

const Menu* find_menu(HMENU handle) { return menus().find(handle); }

std::size_t live_menu_count() { return menus().size(); }

}  // namespace velmora::window

using namespace velmora::window;

HMENU WINAPI LoadMenuW(HINSTANCE /*hInstance*/, LPCWSTR lpMenuName) {
  try {
    std::optional<std::vector<MenuItem>> items =
        read_menu_template(velmora::platform::ByteReader(resource_bytes(lpMenuName, RT_MENU)));
    return items ? build_menu(*items) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
  std::unique_ptr<Menu> menu = menus().take(hMenu);
  if (!menu) return FALSE;
  for (const MenuEntry& entry : menu->entries)
    if (entry.popup) DestroyMenu(entry.popup);
  return TRUE;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
  const Menu* menu = find_menu(hMenu);
  return menu ? static_cast<int>(menu->entries.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
  const MenuEntry* entry = nPos < 0 ? nullptr : find_entry(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
  return entry && !entry->popup ? entry->id : static_cast<UINT>(-1);
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
  const MenuEntry* entry = nPos < 0 ? nullptr : find_entry(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
  return entry ? entry->popup : nullptr;
}

int WINAPI GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags) {
  const MenuEntry* entry = find_entry(hMenu, uIDItem, flags);
  if (!entry) return 0;
  if (!lpString || cchMax <= 0) return static_cast<int>(entry->text.size());
  const std::size_t n = std::min(entry->text.size(), static_cast<std::size_t>(cchMax - 1));
  std::copy_n(entry->text.begin(), n, lpString);
  lpString[n] = 0;
  return static_cast<int>(n);
}
