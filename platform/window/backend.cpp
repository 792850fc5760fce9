#include "window/backend.h"

#include "window/gtk_backend.h"
#include "window/headless_backend.h"

#include <velmora_window.h>

#include <cstdlib>
#include <cstring>

namespace velmora::window {
namespace {

bool is_set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

bool wants_desktop() {
  const char* choice = std::getenv("VELMORA_WINDOW_BACKEND");
  if (choice && std::strcmp(choice, "headless") == 0) return false;
  if (choice && std::strcmp(choice, "gtk") == 0) return true;
  return is_set("DISPLAY") || is_set("WAYLAND_DISPLAY");
}

// A desktop that cannot be reached leaves the headless back end.
std::unique_ptr<Backend> choose_backend() {
  std::unique_ptr<Backend> chosen = wants_desktop() ? make_gtk_backend() : nullptr;
  return chosen ? std::move(chosen) : make_headless_backend();
}

}  // namespace

Backend& backend() {
  static Backend* instance = choose_backend().release();  // lives to the end of the process
  return *instance;
}

}  // namespace velmora::window

const char* VelmoraWindowBackendName(void) { return velmora::window::backend().name(); }
