// Painting: BeginPaint gives a memory device context over the window's
// backing store (erased first with the class background when asked),
// EndPaint releases it and lets the back end show the new pixels.
#include "window/backend.h"
#include "window/system_colors.h"
#include "window/window.h"

namespace velmora::window {
namespace {

// The top-level window whose backing store a window paints into.
Window* surface_owner(Window* w) { return w && !w->is_top_level() ? find_window(w->parent) : w; }

}  // namespace

}  // namespace velmora::window

using namespace velmora::window;

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  Window* w = surface_owner(find_window(hWnd));
  if (!w || !lpPaint || w->paint_dc) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  w->paint_dc = dc;
  w->paint_previous = w->store.empty() ? nullptr : SelectObject(dc, w->store.bitmap());
  const bool erase = w->erase;
  w->invalid = false;
  w->erase = false;
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = dc;
  lpPaint->rcPaint = {0, 0, w->client.cx, w->client.cy};
  lpPaint->fErase = erase && SendMessageW(w->handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  Window* w = surface_owner(find_window(hWnd));
  if (!w || !lpPaint || lpPaint->hdc != w->paint_dc || !w->paint_dc) return FALSE;
  if (w->paint_previous) SelectObject(w->paint_dc, w->paint_previous);
  DeleteDC(w->paint_dc);
  w->paint_dc = nullptr;
  w->paint_previous = nullptr;
  backend().pixels_changed(*w);
  return TRUE;
}

// Any rectangle invalidates the whole client area (see window.h).
BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* /*lpRect*/, BOOL bErase) {
  Window* w = surface_owner(find_window(hWnd));
  if (!w) return FALSE;
  invalidate(*w, bErase != FALSE);
  return TRUE;
}

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM /*lParam*/) {
  Window* w = find_window(hWnd);
  if (!w) return 0;
  switch (Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      erase_background(*w);
      return 1;
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageW(hWnd, WM_CLOSE, 0, 0);
      return 0;
    default:
      return 0;
  }
}
