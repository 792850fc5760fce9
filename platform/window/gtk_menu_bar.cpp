#include "window/gtk_menu_bar.h"

#include "window/gtk_text.h"
#include "window/menus.h"

namespace velmora::window {
namespace {

constexpr const char* kCommandKey = "velmora-command";

void on_activate(GtkMenuItem* item, gpointer window) {
  const auto id = static_cast<UINT>(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey)));
  PostMessageW(static_cast<HWND>(window), WM_COMMAND, MAKELONG(id, 0), 0);
}

void fill(GtkWidget* shell, HMENU handle, HWND window) {
  const Menu* menu = find_menu(handle);
  if (!menu) return;
  for (const MenuEntry& entry : menu->entries) {
    GtkWidget* item = (entry.flags & MF_SEPARATOR)
                          ? gtk_separator_menu_item_new()
                          : gtk_menu_item_new_with_mnemonic(gtk_mnemonic_label(entry.text).c_str());
    if (entry.flags & MF_GRAYED) gtk_widget_set_sensitive(item, FALSE);
    if (entry.popup) {
      GtkWidget* submenu = gtk_menu_new();
      fill(submenu, entry.popup, window);
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), submenu);
    } else if (!(entry.flags & MF_SEPARATOR)) {
      g_object_set_data(G_OBJECT(item), kCommandKey, GUINT_TO_POINTER(entry.id));
      g_signal_connect(item, "activate", G_CALLBACK(on_activate), window);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(shell), item);
  }
}

}  // namespace

GtkWidget* build_menu_bar(HMENU menu, HWND window) {
  GtkWidget* bar = gtk_menu_bar_new();
  fill(bar, menu, window);
  return bar;
}

}  // namespace velmora::window
