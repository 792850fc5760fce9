// The program's start: strings, class, the main window (whose creation
// loads the document), then the message loop with the accelerators.
#include "resource.h"
#include "viewer.h"

namespace velmora::viewer {

ViewerState& viewer_state() {
  static ViewerState instance;
  return instance;
}

}  // namespace velmora::viewer

using namespace velmora::viewer;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPWSTR /*command_line*/, int show) {
  ViewerState& state = viewer_state();
  LoadStringW(instance, RES_ABOUT, state.title, kStringChars);
  LoadStringW(instance, RES_MAIN, state.window_class, kStringChars);
  RegisterViewerClass(instance);
  state.instance = instance;
  state.main_window = CreateWindowExW(0, state.window_class, state.title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                      CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
  if (!state.main_window) return 0;
  ShowWindow(state.main_window, show);
  UpdateWindow(state.main_window);
  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(RES_MAIN));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0)) {
    if (!TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
