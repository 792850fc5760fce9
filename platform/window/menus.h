// Menus made from a menu resource: each popup its own menu handle, as on
// Windows, so GetSubMenu hands out the popup's handle. The back end builds
// its menu bar from them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmora::window {

struct MenuEntry {
  std::wstring text;  // with its '&' mnemonic marks
  UINT id = 0;
  UINT flags = 0;
  HMENU popup = nullptr;
};

struct Menu {
  std::vector<MenuEntry> entries;
};

const Menu* find_menu(HMENU handle);
std::size_t live_menu_count();

}  // namespace velmora::window
