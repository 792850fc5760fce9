#include "window/gtk_input.h"

#include <cwctype>

namespace velmora::window {
namespace {

LPARAM client_point(double x, double y) { return MAKELONG(static_cast<int>(x), static_cast<int>(y)); }

WPARAM button_state(guint state) {
  return ((state & GDK_BUTTON1_MASK) ? MK_LBUTTON : 0) | ((state & GDK_BUTTON3_MASK) ? MK_RBUTTON : 0);
}

gboolean on_button(GtkWidget* /*area*/, GdkEventButton* event, gpointer window) {
  const bool press = event->type == GDK_BUTTON_PRESS;
  if (!press && event->type != GDK_BUTTON_RELEASE) return FALSE;  // double clicks come as presses too
  UINT message = 0;
  if (event->button == 1) message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  if (event->button == 3) message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  if (message == 0) return FALSE;
  const WPARAM held = button_state(event->state) | (press ? (event->button == 1 ? MK_LBUTTON : MK_RBUTTON) : 0);
  PostMessageW(static_cast<HWND>(window), message, held, client_point(event->x, event->y));
  return TRUE;
}

// Virtual keys for Enter, Esc, letters and digits; other keys go by their
// character only.
WPARAM virtual_key(guint keyval, gunichar character) {
  if (keyval == GDK_KEY_Return || keyval == GDK_KEY_KP_Enter) return VK_RETURN;
  if (keyval == GDK_KEY_Escape) return VK_ESCAPE;
  if (character < 0x80 && std::iswalnum(static_cast<wint_t>(character)))
    return std::towupper(static_cast<wint_t>(character));
  return 0;
}

bool with_alt(const GdkEventKey* event) { return (event->state & GDK_MOD1_MASK) != 0; }

gboolean post_key(const GdkEventKey* event, HWND hwnd) {
  const bool alt = with_alt(event);
  const gunichar character = gdk_keyval_to_unicode(event->keyval);
  const WPARAM key = virtual_key(event->keyval, character);
  const LPARAM flags = alt ? (1 << 29) : 0;  // the context bit: Alt is down
  if (key) PostMessageW(hwnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, flags);
  if (character && key != VK_RETURN && key != VK_ESCAPE)
    PostMessageW(hwnd, alt ? WM_SYSCHAR : WM_CHAR, character, flags);
  return key != 0 || character != 0;
}

// Plain keys before GTK's own handling (which would take Enter for a
// default button the program does not have); Alt keys after it, so that
// menu mnemonics win.
gboolean on_key_before(GtkWidget* /*toplevel*/, GdkEventKey* event, gpointer window) {
  return !with_alt(event) && post_key(event, static_cast<HWND>(window));
}

gboolean on_key_after(GtkWidget* /*toplevel*/, GdkEventKey* event, gpointer window) {
  return with_alt(event) && post_key(event, static_cast<HWND>(window));
}

}  // namespace

void connect_mouse_input(GtkWidget* area, HWND window) {
  g_signal_connect(area, "button-press-event", G_CALLBACK(on_button), window);
  g_signal_connect(area, "button-release-event", G_CALLBACK(on_button), window);
}

void connect_key_input(GtkWidget* toplevel, HWND window) {
  gtk_widget_add_events(toplevel, GDK_KEY_PRESS_MASK);
  g_signal_connect(toplevel, "key-press-event", G_CALLBACK(on_key_before), window);
  g_signal_connect_after(toplevel, "key-press-event", G_CALLBACK(on_key_after), window);
}

}  // namespace velmora::window
