// Modal dialog boxes from a dialog template: the dialog is a top-level
// window whose controls (statics and push buttons) are child windows at
// their dialog-unit places, drawn by the dialog itself. The dialog's own
// handling, after its procedure declined a message, is that of a default
// dialog: Enter presses the default button, Esc and the close box give
// IDCANCEL, a click on a button gives its command.
#include "window/backend.h"
#include "window/dialog_layout.h"
#include "window/module_resources.h"
#include "window/system_colors.h"
#include "window/window.h"

namespace velmora::window {
namespace {

constexpr WORD kButtonClicked = 0;  // BN_CLICKED
constexpr COLORREF kButtonFrame = RGB(112, 112, 112);
constexpr COLORREF kDefaultFrame = RGB(0, 120, 215);
const HBRUSH kFaceBrush = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);

bool is_button(const Window& w) { return w.control == ControlClass::Button; }
bool is_default_button(const Window& w) { return is_button(w) && (w.style & 0xF) == BS_DEFPUSHBUTTON; }

Window* control_at(Window& dialog, POINT p) {
  for (HWND h : dialog.children) {
    Window* c = find_window(h);
    const RECT& r = c->place;
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return c;
  }
  return nullptr;
}

int default_command(Window& dialog) {
  for (HWND h : dialog.children)
    if (Window* c = find_window(h); is_default_button(*c)) return c->id;
  return IDOK;
}

void command(HWND dialog, int id, HWND control) {
  SendMessageW(dialog, WM_COMMAND, MAKELONG(id, kButtonClicked), reinterpret_cast<LPARAM>(control));
}

UINT static_format(DWORD style) {
  UINT format = DT_SINGLELINE;
  if ((style & 0xF) == SS_CENTER) format |= DT_CENTER;
  if ((style & 0xF) == SS_RIGHT) format |= DT_RIGHT;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  return format;
}

void draw_control(Window& dialog, Window& c, HDC dc) {
  RECT r = c.place;
  if (is_button(c)) {
    dialog.store.fill(r, RGB(225, 225, 225));
    const bool chosen = is_default_button(c);
    dialog.store.frame(r, chosen ? kDefaultFrame : kButtonFrame, chosen ? 2 : 1);
    DrawTextW(dc, c.title.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  } else if (c.control == ControlClass::Static) {
    DrawTextW(dc, c.title.c_str(), -1, &r, static_format(c.style));
  }
}

void paint_dialog(Window& dialog) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(dialog.handle, &ps);
  if (!dc) return;
  HFONT font = CreateFontIndirectW(&dialog.dialog->font);
  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (HWND h : std::vector<HWND>(dialog.children))
    if (Window* c = find_window(h)) draw_control(dialog, *c, dc);
  if (previous) SelectObject(dc, previous);
  if (font) DeleteObject(font);
  EndPaint(dialog.handle, &ps);
}

void mouse_up(Window& dialog, POINT p) {
  const HWND pressed = dialog.dialog->pressed;
  dialog.dialog->pressed = nullptr;
  Window* c = control_at(dialog, p);
  if (c && c->handle == pressed) command(dialog.handle, c->id, c->handle);
}

LRESULT default_dialog_handling(Window& dialog, UINT msg, WPARAM wp, LPARAM lp) {
  const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_PAINT:
      paint_dialog(dialog);
      return 0;
    case WM_CLOSE:
      command(dialog.handle, IDCANCEL, GetDlgItem(dialog.handle, IDCANCEL));
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_RETURN) command(dialog.handle, default_command(dialog), nullptr);
      if (wp == VK_ESCAPE) command(dialog.handle, IDCANCEL, nullptr);
      return 0;
    case WM_LBUTTONDOWN:
      if (Window* c = control_at(dialog, p); c && is_button(*c)) dialog.dialog->pressed = c->handle;
      return 0;
    case WM_LBUTTONUP:
      mouse_up(dialog, p);
      return 0;
    default:
      return DefWindowProcW(dialog.handle, msg, wp, lp);
  }
}

LRESULT CALLBACK dialog_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = find_window(hwnd);
  if (!w || !w->dialog) return 0;
  if (w->dialog->procedure && w->dialog->procedure(hwnd, msg, wp, lp)) return TRUE;
  if ((w = find_window(hwnd)) == nullptr) return 0;
  return default_dialog_handling(*w, msg, wp, lp);
}

HWND make_dialog(const DialogTemplate& t, HWND owner, DLGPROC procedure) {
  const DialogUnits units = measure_dialog_units(t);
  const RECT frame = units.to_pixels(t.box);
  Window dialog;
  dialog.procedure = dialog_window_proc;
  dialog.background = kFaceBrush;
  dialog.style = t.style & ~(WS_CHILD | WS_VISIBLE);
  dialog.title = t.caption;
  dialog.parent = owner;
  dialog.dialog = DialogState{procedure, dialog_font(t)};
  const HWND handle = add_window(std::move(dialog));
  Window& w = *find_window(handle);
  w.client = {frame.right - frame.left, frame.bottom - frame.top};
  w.store.resize(w.client);
  invalidate(w, true);
  for (const DialogItem& item : t.items) {
    Window c;
    c.style = item.style | WS_CHILD;
    c.parent = handle;
    c.id = static_cast<int>(item.id == 0xFFFFFFFF ? IDC_STATIC : static_cast<int>(item.id & 0xFFFF));
    c.control = item.control;
    c.title = item.text;
    c.place = units.to_pixels(item.box);
    add_window(std::move(c));
  }
  backend().window_created(*find_window(handle));
  return handle;
}

// The modal loop: runs until EndDialog; a quit message ends it and is posted
// again for the program's own loop.
INT_PTR run_modal(HWND handle) {
  MSG msg;
  for (;;) {
    Window* w = find_window(handle);
    if (!w || w->dialog->ended) break;
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Window* w = find_window(handle);
  return w && w->dialog->ended ? w->dialog->result : IDCANCEL;
}

INT_PTR dialog_box(LPCWSTR name, HWND owner, DLGPROC procedure, LPARAM param) {
  std::optional<DialogTemplate> t = read_dialog_template(platform::ByteReader(resource_bytes(name, RT_DIALOG)));
  if (!t || (owner && !IsWindow(owner))) return -1;
  Window* owner_window = find_window(owner);
  if (owner_window) owner_window->enabled = false;
  const HWND handle = make_dialog(*t, owner, procedure);
  SendMessageW(handle, WM_INITDIALOG, 0, param);
  Window* w = find_window(handle);
  if (w && !w->dialog->ended) ShowWindow(handle, SW_SHOW);
  const INT_PTR result = w ? run_modal(handle) : -1;
  if ((owner_window = find_window(owner)) != nullptr) owner_window->enabled = true;
  DestroyWindow(handle);
  return result;
}

}  // namespace
}  // namespace velmora::window

using namespace velmora::window;

INT_PTR WINAPI DialogBoxParamW(HINSTANCE /*hInstance*/, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
  try {
    return dialog_box(lpTemplateName, hWndParent, lpDialogFunc, dwInitParam);
  } catch (...) {
    return -1;
  }
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  Window* w = find_window(hDlg);
  if (!w || !w->dialog) return FALSE;
  w->dialog->ended = true;
  w->dialog->result = nResult;
  return TRUE;
}
