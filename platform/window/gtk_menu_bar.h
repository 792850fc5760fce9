// A GTK menu bar from a menu: popups become submenus, items post
// WM_COMMAND with their id to the window, '&' marks become mnemonics.
#pragma once

#include <windows.h>

#include <gtk/gtk.h>

namespace velmora::window {

GtkWidget* build_menu_bar(HMENU menu, HWND window);

}  // namespace velmora::window
