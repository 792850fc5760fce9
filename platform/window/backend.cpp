#include "window/backend.h"

#include "window/headless_backend.h"

#include <velmora_window.h>

namespace velmora::window {
namespace {

std::unique_ptr<Backend> choose_backend() { return make_headless_backend(); }

}  // namespace

Backend& backend() {
  static Backend* instance = choose_backend().release();  // lives to the end of the process
  return *instance;
}

}  // namespace velmora::window

const char* VelmoraWindowBackendName(void) { return velmora::window::backend().name(); }
