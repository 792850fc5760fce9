// The main window: its class, its procedure, the repaint of both panes and
// the Open and About commands.
#include "document.h"
#include "fit_rect.h"
#include "panes.h"
#include "resource.h"
#include "title.h"
#include "viewer.h"

#include <velmora.h>

#include <cstring>
#include <cwchar>

namespace velmora::viewer {
namespace {

constexpr WCHAR kSystemLabel[] = L"Windows API";
constexpr WCHAR kLibraryLabel[] = L"Velmora API";
constexpr int kOpenFileChars = 260;
constexpr DWORD kOpenFileLimit = 256;  // four characters fewer than the buffer holds
constexpr int kOpenTitleChars = 40;
// Each string null-terminated, the list closed by the literal's own null.
constexpr WCHAR kOpenFilter[] = L"Metafile (*.wmf, *.emf)\0*.wmf;*.emf\0";

void PaintSystemPane(HDC dc, const RECT& client) {
  RECT pane = LeftPane(client);
  DrawTextW(dc, kSystemLabel, 11, &pane, DT_CENTER);
  pane = BelowLabel(pane);
  const Document& doc = document();
  if (!doc.picture) return;
  const RECT fitted = FitToAspect(pane, doc.aspect);
  PlayEnhMetaFile(dc, doc.picture, &fitted);
}

// The library reads the file itself, with or without a picture here; its
// result is not looked at. Returns the call's time in milliseconds.
int PaintLibraryPane(HDC dc, const RECT& client) {
  RECT pane = RightPane(client);
  DrawTextW(dc, kLibraryLabel, static_cast<int>(wcslen(kLibraryLabel)), &pane, DT_CENTER);
  pane = BelowLabel(pane);
  const DWORD t0 = GetTickCount();
  VelmoraFileW(dc, document().file_name, &pane, 255, true, 0.0);
  const DWORD t1 = GetTickCount();
  return static_cast<int>(t1 - t0);
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  PaintSystemPane(dc, client);
  const int milliseconds = PaintLibraryPane(dc, client);
  WCHAR title[kTitleChars];
  FormatTitle(title, document().file_name, milliseconds);
  SetWindowTextW(window, title);
  EndPaint(window, &ps);
}

void ShowAbout(HWND window) {
  DialogBoxParamW(viewer_state().instance, MAKEINTRESOURCEW(RES_ABOUT), window, AboutDialogProc, 0);
}

void OpenDocument(HWND window) {
  WCHAR file[kOpenFileChars] = {};
  WCHAR file_title[kOpenTitleChars] = {};
  OPENFILENAMEW ofn;
  std::memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = sizeof ofn;  // 88 bytes on 32-bit Windows: with the reserved fields and FlagsEx
  ofn.hwndOwner = window;
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = kOpenFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = kOpenFileLimit;
  ofn.lpstrFileTitle = file_title;
  ofn.nMaxFileTitle = kOpenTitleChars;
  ofn.lpstrTitle = L"Metafile(WMF, EMF) open";
  ofn.Flags = OFN_FILEMUSTEXIST;
  ofn.lpstrDefExt = L"wmf";
  if (!GetOpenFileNameW(&ofn)) return;
  std::memcpy(document().file_name, file, sizeof file);
  LoadDocument();
  InvalidateRect(window, nullptr, TRUE);
}

LRESULT Command(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case CMD_ABOUT:
      ShowAbout(window);
      return 0;
    case CMD_EXIT:
      DestroyWindow(window);
      return 0;
    case CMD_OPEN:
      OpenDocument(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

ATOM RegisterViewerClass(HINSTANCE instance) {
  WNDCLASSEXW wc;
  std::memset(&wc, 0, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ViewerWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = MAKEINTRESOURCEW(RES_MAIN);
  wc.lpszClassName = viewer_state().window_class;
  return RegisterClassExW(&wc);
}

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      LoadDocument();
      return 0;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_COMMAND:
      return Command(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      ReleaseDocumentPicture();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace velmora::viewer
