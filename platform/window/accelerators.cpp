// Accelerator tables and their translation. Character-code entries (without
// FVIRTKEY) match the character messages that TranslateMessage's keyboard
// gives: WM_SYSCHAR when Alt is held, WM_CHAR otherwise; virtual-key entries
// match WM_KEYDOWN / WM_SYSKEYDOWN.
#include "window/accelerators.h"

#include "window/handle_table.h"
#include "window/menus.h"
#include "window/module_resources.h"
#include "window/window.h"

#include <velmora_window.h>

namespace velmora::window {
namespace {

struct AcceleratorTable {
  std::vector<ACCEL> entries;
};

HandleTable<AcceleratorTable>& tables() {
  static HandleTable<AcceleratorTable> table(3);
  return table;
}

bool matches(const ACCEL& a, const MSG& msg) {
  const bool alt = msg.message == WM_SYSCHAR || msg.message == WM_SYSKEYDOWN;
  const bool wants_alt = (a.fVirt & FALT) != 0;
  if (wants_alt != alt) return false;
  if (a.fVirt & FVIRTKEY) return (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && a.key == msg.wParam;
  return (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) && a.key == msg.wParam;
}

}  // namespace

std::size_t live_accelerator_count() { return tables().size(); }

}  // namespace velmora::window

using namespace velmora::window;

HACCEL WINAPI LoadAcceleratorsW(HINSTANCE /*hInstance*/, LPCWSTR lpTableName) {
  try {
    std::optional<std::vector<ACCEL>> entries =
        read_accelerator_table(velmora::platform::ByteReader(resource_bytes(lpTableName, RT_ACCELERATOR)));
    if (!entries) return nullptr;
    return tables().add<HACCEL>(std::make_unique<AcceleratorTable>(AcceleratorTable{std::move(*entries)}));
  } catch (...) {
    return nullptr;
  }
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL hAccel) { return tables().take(hAccel) != nullptr; }

// A match sends WM_COMMAND with 1 in the high word (from an accelerator).
int WINAPI TranslateAcceleratorW(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
  const AcceleratorTable* table = tables().find(hAccTable);
  if (!table || !lpMsg || !IsWindow(hWnd)) return 0;
  for (const ACCEL& a : table->entries) {
    if (!matches(a, *lpMsg)) continue;
    SendMessageW(hWnd, WM_COMMAND, MAKELONG(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}

size_t VelmoraWindowLiveObjects(void) { return live_window_count() + live_menu_count() + live_accelerator_count(); }
