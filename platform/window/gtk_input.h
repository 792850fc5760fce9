// Mouse and keyboard events of GTK widgets posted as window messages: the
// buttons as WM_[LR]BUTTON(DOWN|UP) in client coordinates, keys as
// WM_KEYDOWN with the character as WM_CHAR, or with Alt as WM_SYSKEYDOWN
// and WM_SYSCHAR. Alt keys reach the program only when GTK itself (a menu
// mnemonic) did not take them.
#pragma once

#include <windows.h>

#include <gtk/gtk.h>

namespace velmora::window {

void connect_mouse_input(GtkWidget* area, HWND window);
void connect_key_input(GtkWidget* toplevel, HWND window);

}  // namespace velmora::window
