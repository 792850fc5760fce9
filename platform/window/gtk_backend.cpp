#include "window/gtk_backend.h"

#include "window/gtk_input.h"
#include "window/gtk_menu_bar.h"
#include "window/gtk_text.h"

#include <gtk/gtk.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace velmora::window {
namespace {

// The GTK side of one top-level window.
struct NativeWindow {
  HWND handle = nullptr;
  GtkWidget* window = nullptr;
  GtkWidget* area = nullptr;
  GtkWidget* menu_bar = nullptr;
};

NativeWindow* native_of(Window& w) { return static_cast<NativeWindow*>(w.native); }

gboolean on_draw(GtkWidget* /*area*/, cairo_t* cr, gpointer data) {
  Window* w = find_window(static_cast<NativeWindow*>(data)->handle);
  if (!w || w->store.empty()) return TRUE;
  const BackingStore& s = w->store;
  // The store's B, G, R, x words are Cairo's RGB24 on a little-endian machine.
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(s.pixels()), CAIRO_FORMAT_RGB24, s.width(), s.height(), s.width() * 4);
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(surface);
  return TRUE;
}

void on_size_allocate(GtkWidget* /*area*/, GdkRectangle* allocation, gpointer data) {
  if (Window* w = find_window(static_cast<NativeWindow*>(data)->handle))
    set_client_size(*w, {allocation->width, allocation->height});
}

gboolean on_delete(GtkWidget* /*window*/, GdkEvent* /*event*/, gpointer data) {
  PostMessageW(static_cast<NativeWindow*>(data)->handle, WM_CLOSE, 0, 0);
  return TRUE;  // the program decides; DestroyWindow takes the GTK window down
}

GtkWidget* native_widget(HWND handle) {
  Window* w = find_window(handle);
  NativeWindow* n = w ? native_of(*w) : nullptr;
  return n ? n->window : nullptr;
}

void connect_area(NativeWindow& n) {
  gtk_widget_add_events(n.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(n.area, "draw", G_CALLBACK(on_draw), &n);
  g_signal_connect(n.area, "size-allocate", G_CALLBACK(on_size_allocate), &n);
  connect_mouse_input(n.area, n.handle);
  connect_key_input(n.window, n.handle);
  g_signal_connect(n.window, "delete-event", G_CALLBACK(on_delete), &n);
}

void make_dialog_window(Window& w, NativeWindow& n) {
  gtk_window_set_modal(GTK_WINDOW(n.window), TRUE);
  gtk_window_set_resizable(GTK_WINDOW(n.window), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(n.window), GDK_WINDOW_TYPE_HINT_DIALOG);
  if (GtkWidget* owner = native_widget(w.parent)) {
    gtk_window_set_transient_for(GTK_WINDOW(n.window), GTK_WINDOW(owner));
    gtk_window_set_position(GTK_WINDOW(n.window), GTK_WIN_POS_CENTER_ON_PARENT);
  }
  gtk_widget_set_size_request(n.area, w.client.cx, w.client.cy);
  gtk_container_add(GTK_CONTAINER(n.window), n.area);
}

void make_main_window(Window& w, NativeWindow& n) {
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  if (w.menu) {
    n.menu_bar = build_menu_bar(w.menu, w.handle);
    gtk_box_pack_start(GTK_BOX(box), n.menu_bar, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(box), n.area, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(n.window), box);
  gtk_window_set_default_size(GTK_WINDOW(n.window), w.client.cx, w.client.cy);
}

// Lets the program continue with everything that has arrived; sleeps in
// GTK's main loop until something does.
class GtkBackend final : public Backend {
 public:
  const char* name() const override { return "gtk"; }

  void window_created(Window& w) override {
    auto* n = new NativeWindow{w.handle, gtk_window_new(GTK_WINDOW_TOPLEVEL), gtk_drawing_area_new(), nullptr};
    w.native = n;
    gtk_window_set_title(GTK_WINDOW(n->window), to_utf8(w.title).c_str());
    if (w.dialog)
      make_dialog_window(w, *n);
    else
      make_main_window(w, *n);
    connect_area(*n);
  }

  // A dialog hands the keyboard back to its owner.
  void window_destroyed(Window& w) override {
    NativeWindow* n = native_of(w);
    if (!n) return;
    w.native = nullptr;
    gtk_widget_destroy(n->window);
    delete n;
    if (GtkWidget* owner = w.dialog ? native_widget(w.parent) : nullptr) gtk_window_present(GTK_WINDOW(owner));
  }

  // Shown windows take the keyboard, as the desktop gives a new window focus.
  void window_shown(Window& w) override {
    NativeWindow* n = native_of(w);
    if (!n) return;
    gtk_widget_show_all(n->window);
    gtk_window_present(GTK_WINDOW(n->window));
  }

  void title_changed(Window& w) override {
    if (NativeWindow* n = native_of(w)) gtk_window_set_title(GTK_WINDOW(n->window), to_utf8(w.title).c_str());
  }

  void pixels_changed(Window& w) override {
    if (NativeWindow* n = native_of(w)) gtk_widget_queue_draw(n->area);
  }

  void resize_requested(Window& w, SIZE size) override {
    NativeWindow* n = native_of(w);
    if (!n) return;
    const int menu_height = n->menu_bar ? gtk_widget_get_allocated_height(n->menu_bar) : 0;
    gtk_window_resize(GTK_WINDOW(n->window), std::max<LONG>(size.cx, 1), std::max<LONG>(size.cy + menu_height, 1));
  }

  SIZE default_client_size() const override { return {1000, 600}; }

  bool wait_for_input() override {
    g_main_context_iteration(nullptr, TRUE);
    return true;
  }

  std::optional<std::wstring> ask_open_file(const OpenFileQuestion& question) override;
};

GtkFileFilter* make_filter(const FileFilter& f) {
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, to_utf8(f.name).c_str());
  for (const std::wstring& pattern : f.patterns)
    gtk_file_filter_add_pattern(filter, case_insensitive_pattern(pattern).c_str());
  return filter;
}

// Starts in the working directory, as the common dialog does without an
// initial folder.
std::optional<std::wstring> GtkBackend::ask_open_file(const OpenFileQuestion& question) {
  GtkWidget* owner = native_widget(question.owner);
  GtkFileChooserNative* chooser =
      gtk_file_chooser_native_new(to_utf8(question.title).c_str(), owner ? GTK_WINDOW(owner) : nullptr,
                                  GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
  for (const FileFilter& f : question.filters) gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), make_filter(f));
  if (gchar* folder = g_get_current_dir()) {
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder);
    g_free(folder);
  }
  std::optional<std::wstring> chosen;
  if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
    gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    gchar* utf8 = name ? g_filename_to_utf8(name, -1, nullptr, nullptr, nullptr) : nullptr;
    if (utf8) chosen = from_utf8(utf8);
    g_free(utf8);
    g_free(name);
  }
  g_object_unref(chooser);
  return chosen;
}

}  // namespace

std::unique_ptr<Backend> make_gtk_backend() {
  GError* error = nullptr;
  if (!gtk_init_with_args(nullptr, nullptr, nullptr, nullptr, nullptr, &error)) {
    // Said once, so that a window that never shows is not a mystery.
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "no desktop (DISPLAY=%s): %s\n", display ? display : "",
                 error ? error->message : "GTK could not start");
    if (error) g_error_free(error);
    return nullptr;
  }
  return std::make_unique<GtkBackend>();
}

}  // namespace velmora::window
