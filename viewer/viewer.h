// VelmoraTest: one window whose left half shows the document drawn by the
// system's player and whose right half the same file drawn by the library,
// with the library call's time in the title.
#pragma once

#include <windows.h>

namespace velmora::viewer {

constexpr int kStringChars = 100;

// Process-wide state of the viewer besides the document.
struct ViewerState {
  WCHAR title[kStringChars] = {};         // string 103
  WCHAR window_class[kStringChars] = {};  // string 109
  HINSTANCE instance = nullptr;
  HWND main_window = nullptr;
};

ViewerState& viewer_state();

ATOM RegisterViewerClass(HINSTANCE instance);
LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace velmora::viewer

// The program's entry: only the instance and the show command are used.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show);
