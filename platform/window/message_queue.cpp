// The thread's message queue and the loop's calls. GetMessageW hands out,
// in this order: posted messages, the quit message, WM_PAINT for a visible
// invalid window; with nothing left it lets the back end wait for input.
// Input for a disabled window (the owner of a modal dialog) is dropped.
#include "window/backend.h"
#include "window/window.h"

#include <velmora_window.h>

#include <deque>

namespace velmora::window {
namespace {

struct Queue {
  std::deque<MSG> posted;
  bool quit = false;
  int quit_code = 0;
};

Queue& queue() {
  static Queue instance;
  return instance;
}

bool is_input(UINT message) {
  return (message >= WM_KEYDOWN && message <= WM_SYSCHAR) || (message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP);
}

bool dropped(const MSG& msg) {
  if (!is_input(msg.message)) return false;
  Window* w = find_window(msg.hwnd);
  if (w && !w->is_top_level()) w = find_window(w->parent);
  return !w || !w->enabled;
}

bool next_posted(MSG& msg) {
  while (!queue().posted.empty()) {
    msg = queue().posted.front();
    queue().posted.pop_front();
    if (!dropped(msg)) return true;
  }
  return false;
}

bool next_paint(MSG& msg) {
  for (Window* w : top_level_windows()) {
    if (!w->visible || !w->invalid) continue;
    msg = MSG{w->handle, WM_PAINT, 0, 0, GetTickCount(), {0, 0}};
    return true;
  }
  return false;
}

MSG quit_message(int code) { return MSG{nullptr, WM_QUIT, static_cast<WPARAM>(code), 0, GetTickCount(), {0, 0}}; }

}  // namespace
}  // namespace velmora::window

using namespace velmora::window;

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND /*hWnd*/, UINT /*wMsgFilterMin*/, UINT /*wMsgFilterMax*/) {
  if (!lpMsg) return -1;
  for (;;) {
    if (next_posted(*lpMsg)) return TRUE;
    if (queue().quit) {
      queue().quit = false;
      *lpMsg = quit_message(queue().quit_code);
      return FALSE;
    }
    if (next_paint(*lpMsg)) return TRUE;
    if (!backend().wait_for_input()) {
      *lpMsg = quit_message(VELMORA_INPUT_EXHAUSTED);
      return FALSE;
    }
  }
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd && !IsWindow(hWnd)) return FALSE;
  queue().posted.push_back(MSG{hWnd, Msg, wParam, lParam, GetTickCount(), {0, 0}});
  return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = find_window(hWnd);
  if (!w || !w->procedure) return 0;
  return w->procedure(hWnd, Msg, wParam, lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
  queue().quit = true;
  queue().quit_code = nExitCode;
}

// The back ends post the character messages beside the key messages
// themselves (the desktop already knows the character a key gives), so
// there is nothing left to translate; key messages are reported as such.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  return lpMsg && (lpMsg->message == WM_KEYDOWN || lpMsg->message == WM_SYSKEYDOWN);
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  return SendMessageW(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
