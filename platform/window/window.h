// The window model: registered classes and the windows made from them,
// top-level windows (the program's main window, dialog boxes) and the
// controls inside dialogs. A top-level window owns a 32-bit backing store
// the size of its client area; painting draws into it and the back end
// shows it. The update region is always the whole client area: an
// invalidation of any part repaints everything, as CS_HREDRAW | CS_VREDRAW
// windows do after every resize.
#pragma once

#include "window/backing_store.h"
#include "window/resource_templates.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora::window {

struct WindowClass {
  std::wstring name;
  UINT style = 0;
  WNDPROC procedure = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  HINSTANCE instance = nullptr;
  std::optional<ResourceName> menu;
};

// What a dialog box adds to its window.
struct DialogState {
  DLGPROC procedure = nullptr;
  LOGFONTW font{};  // the template's font, in pixels
  bool ended = false;
  INT_PTR result = 0;
  HWND pressed = nullptr;  // the button under a held mouse button
};

struct Window {
  HWND handle = nullptr;
  WNDPROC procedure = nullptr;
  UINT class_style = 0;
  HBRUSH background = nullptr;
  DWORD style = 0;
  std::wstring title;
  HWND parent = nullptr;  // the owner of a top-level window, the dialog of a control
  std::vector<HWND> children;
  HMENU menu = nullptr;  // top-level windows; destroyed with the window
  SIZE client{0, 0};
  RECT place{};  // controls: their rectangle in the dialog's client area, pixels
  bool visible = false;
  bool enabled = true;
  bool invalid = false;
  bool erase = false;
  bool destroying = false;
  BackingStore store;
  HDC paint_dc = nullptr;  // between BeginPaint and EndPaint
  HGDIOBJ paint_previous = nullptr;
  // Controls
  int id = 0;
  ControlClass control = ControlClass::Other;
  std::optional<DialogState> dialog;
  void* native = nullptr;  // the back end's own window

  bool is_top_level() const { return !(style & WS_CHILD); }
};

Window* find_window(HWND handle);
// Top-level windows, oldest first.
std::vector<Window*> top_level_windows();
std::size_t live_window_count();

// Makes a window of the given procedure and shape without a class (dialog
// boxes and their controls); the class's style and background are passed.
HWND add_window(Window window);

// Sets a top-level window's client size, makes a new backing store and
// invalidates the whole window; sends WM_SIZE.
void set_client_size(Window& window, SIZE size);

// Marks the whole client area for repainting.
void invalidate(Window& window, bool erase);

// The window that keyboard input goes to: the newest visible, enabled
// top-level window.
Window* active_window();

}  // namespace velmora::window
