// Window classes and windows: registration, creation with WM_CREATE,
// showing, sizing, titles and destruction with WM_DESTROY.
#include "window/backend.h"
#include "window/handle_table.h"
#include "window/menus.h"
#include "window/window.h"

#include <velmora_window.h>

#include <algorithm>
#include <cwctype>

namespace velmora::window {
namespace {

HandleTable<Window>& windows() {
  static HandleTable<Window> table(1);
  return table;
}

std::vector<WindowClass>& classes() {
  static std::vector<WindowClass> list;
  return list;
}

std::vector<HWND>& creation_order() {
  static std::vector<HWND> order;
  return order;
}

bool same_name(const std::wstring& a, LPCWSTR b) {
  std::size_t i = 0;
  for (; b[i] && i < a.size(); ++i)
    if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i]))) return false;
  return b[i] == 0 && i == a.size();
}

const WindowClass* find_class(LPCWSTR name) {
  if (!name || IS_INTRESOURCE(name)) return nullptr;
  for (const WindowClass& c : classes())
    if (same_name(c.name, name)) return &c;
  return nullptr;
}

ResourceName resource_name(LPCWSTR name) {
  ResourceName r;
  if (IS_INTRESOURCE(name)) {
    r.ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
  } else {
    r.is_ordinal = false;
    r.text = name;
  }
  return r;
}

LPCWSTR as_api_name(const ResourceName& r) { return r.is_ordinal ? MAKEINTRESOURCEW(r.ordinal) : r.text.c_str(); }

SIZE initial_size(int width, int height) {
  if (width == CW_USEDEFAULT) return backend().default_client_size();
  return {std::max(width, 0), std::max(height, 0)};
}

void destroy_children(Window& window) {
  const std::vector<HWND> children = window.children;
  for (HWND child : children) DestroyWindow(child);
}

void forget(HWND handle) {
  std::vector<HWND>& order = creation_order();
  order.erase(std::remove(order.begin(), order.end(), handle), order.end());
  if (Window* w = find_window(handle); w && w->parent) {
    if (Window* parent = find_window(w->parent)) {
      std::vector<HWND>& siblings = parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
  }
}

}  // namespace

Window* find_window(HWND handle) { return windows().find(handle); }

std::vector<Window*> top_level_windows() {
  std::vector<Window*> list;
  for (HWND h : creation_order())
    if (Window* w = find_window(h); w && w->is_top_level()) list.push_back(w);
  return list;
}

std::size_t live_window_count() { return windows().size(); }

HWND add_window(Window window) {
  auto object = std::make_unique<Window>(std::move(window));
  Window* w = object.get();
  w->handle = windows().add<HWND>(std::move(object));
  creation_order().push_back(w->handle);
  if (w->parent && !w->is_top_level())
    if (Window* parent = find_window(w->parent)) parent->children.push_back(w->handle);
  return w->handle;
}

void invalidate(Window& window, bool erase) {
  window.invalid = true;
  window.erase = window.erase || erase;
}

void set_client_size(Window& window, SIZE size) {
  size = {std::max<LONG>(size.cx, 0), std::max<LONG>(size.cy, 0)};
  if (size.cx == window.client.cx && size.cy == window.client.cy && !window.store.empty()) return;
  window.client = size;
  window.store.resize(size);
  invalidate(window, true);
  SendMessageW(window.handle, WM_SIZE, 0, MAKELONG(size.cx, size.cy));
}

Window* active_window() {
  const std::vector<Window*> list = top_level_windows();
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if ((*it)->visible && (*it)->enabled) return *it;
  return nullptr;
}

}  // namespace velmora::window

using namespace velmora::window;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXW) || !lpwcx->lpfnWndProc || !lpwcx->lpszClassName ||
      IS_INTRESOURCE(lpwcx->lpszClassName) || find_class(lpwcx->lpszClassName))
    return 0;
  WindowClass c;
  c.name = lpwcx->lpszClassName;
  c.style = lpwcx->style;
  c.procedure = lpwcx->lpfnWndProc;
  c.cursor = lpwcx->hCursor;
  c.background = lpwcx->hbrBackground;
  c.instance = lpwcx->hInstance;
  if (lpwcx->lpszMenuName) c.menu = resource_name(lpwcx->lpszMenuName);
  classes().push_back(std::move(c));
  return static_cast<ATOM>(0xC000 + classes().size());
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE /*hInstance*/) {
  const WindowClass* c = find_class(lpClassName);
  if (!c) return FALSE;
  classes().erase(classes().begin() + (c - classes().data()));
  return TRUE;
}

HWND WINAPI CreateWindowExW(DWORD /*dwExStyle*/, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  const WindowClass* c = find_class(lpClassName);
  if (!c) return nullptr;
  Window w;
  w.procedure = c->procedure;
  w.class_style = c->style;
  w.background = c->background;
  w.style = dwStyle;
  w.title = lpWindowName ? lpWindowName : L"";
  w.parent = hWndParent;
  w.menu = hMenu ? hMenu : c->menu ? LoadMenuW(c->instance, as_api_name(*c->menu)) : nullptr;
  const HWND handle = add_window(std::move(w));
  Window& window = *find_window(handle);
  const SIZE size = initial_size(nWidth, nHeight);
  window.client = size;
  window.store.resize(size);
  invalidate(window, true);
  if (window.is_top_level()) backend().window_created(window);
  const std::wstring class_name = c->name;  // the class list may change during WM_CREATE
  CREATESTRUCTW create{lpParam,
                       hInstance,
                       window.menu,
                       hWndParent,
                       static_cast<int>(size.cy),
                       static_cast<int>(size.cx),
                       Y,
                       X,
                       static_cast<LONG>(dwStyle),
                       lpWindowName,
                       class_name.c_str(),
                       0};
  if (SendMessageW(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (IsWindow(handle) && (dwStyle & WS_VISIBLE)) ShowWindow(handle, SW_SHOW);
  return IsWindow(handle) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  Window* w = find_window(hWnd);
  if (!w || w->destroying) return FALSE;
  w->destroying = true;
  w->visible = false;
  if (w->is_top_level()) backend().window_destroyed(*w);
  SendMessageW(hWnd, WM_DESTROY, 0, 0);
  if ((w = find_window(hWnd)) == nullptr) return TRUE;
  destroy_children(*w);
  SendMessageW(hWnd, WM_NCDESTROY, 0, 0);
  if (w->menu) DestroyMenu(w->menu);
  forget(hWnd);
  windows().take(hWnd);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return find_window(hWnd) != nullptr; }

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Window* w = find_window(hWnd);
  if (!w) return FALSE;
  const bool was_visible = w->visible;
  w->visible = nCmdShow != SW_HIDE;
  if (w->visible && !was_visible) {
    invalidate(*w, true);
    if (w->is_top_level()) backend().window_shown(*w);
  }
  return was_visible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  Window* w = find_window(hWnd);
  if (!w) return FALSE;
  if (w->invalid && w->visible) SendMessageW(hWnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int /*X*/, int /*Y*/, int nWidth, int nHeight, BOOL /*bRepaint*/) {
  Window* w = find_window(hWnd);
  if (!w || !w->is_top_level()) return FALSE;
  backend().resize_requested(*w, {std::max(nWidth, 0), std::max(nHeight, 0)});
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  Window* w = find_window(hWnd);
  if (!w || !lpRect) return FALSE;
  if (w->is_top_level())
    *lpRect = {0, 0, w->client.cx, w->client.cy};
  else
    *lpRect = {0, 0, w->place.right - w->place.left, w->place.bottom - w->place.top};
  return TRUE;
}

// Top-level windows stand at the desktop's origin; controls at their place
// in the dialog.
BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  Window* w = find_window(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = w->is_top_level() ? RECT{0, 0, w->client.cx, w->client.cy} : w->place;
  return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
  Window* w = find_window(hWnd);
  if (!w) return FALSE;
  w->title = lpString ? lpString : L"";
  if (w->is_top_level()) backend().title_changed(*w);
  return TRUE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
  Window* w = find_window(hWnd);
  if (!w || !lpString || nMaxCount <= 0) return 0;
  const std::size_t n = std::min(w->title.size(), static_cast<std::size_t>(nMaxCount - 1));
  std::copy_n(w->title.begin(), n, lpString);
  lpString[n] = 0;
  return static_cast<int>(n);
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
  Window* w = find_window(hWnd);
  if (!w) return nullptr;
  if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (uCmd != GW_HWNDNEXT || !w->parent || w->is_top_level()) return nullptr;
  Window* parent = find_window(w->parent);
  if (!parent) return nullptr;
  auto it = std::find(parent->children.begin(), parent->children.end(), hWnd);
  return it == parent->children.end() || it + 1 == parent->children.end() ? nullptr : *(it + 1);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  Window* w = find_window(hDlg);
  if (!w) return nullptr;
  for (HWND child : w->children)
    if (find_window(child)->id == nIDDlgItem) return child;
  return nullptr;
}

HWND WINAPI GetActiveWindow(void) {
  Window* w = active_window();
  return w ? w->handle : nullptr;
}

HMENU WINAPI GetMenu(HWND hWnd) {
  Window* w = find_window(hWnd);
  return w ? w->menu : nullptr;
}

// There is one pointer shape; the handle only has to be non-null.
HCURSOR WINAPI LoadCursorW(HINSTANCE /*hInstance*/, LPCWSTR lpCursorName) {
  return lpCursorName == IDC_ARROW ? reinterpret_cast<HCURSOR>(IDC_ARROW) : nullptr;
}

BOOL VelmoraWindowPixels(HWND window, const DWORD** pixels, int* width, int* height) {
  Window* w = find_window(window);
  if (!w || w->store.empty() || !pixels || !width || !height) return FALSE;
  *pixels = w->store.pixels();
  *width = w->store.width();
  *height = w->store.height();
  return TRUE;
}
