#include "window/headless_backend.h"

#include <velmora_window.h>

namespace velmora::window {
namespace {

struct Hooks {
  VelmoraIdleProc idle = nullptr;
  void* idle_context = nullptr;
  VelmoraOpenFileAnswer answer = nullptr;
  void* answer_context = nullptr;
};

Hooks& hooks() {
  static Hooks instance;
  return instance;
}

// A desktop of its own: windows have no frame, so a window's size is its
// client size.
class HeadlessBackend final : public Backend {
 public:
  const char* name() const override { return "headless"; }
  void window_created(Window&) override {}
  void window_destroyed(Window&) override {}
  void window_shown(Window&) override {}
  void title_changed(Window&) override {}
  void pixels_changed(Window&) override {}
  void resize_requested(Window& window, SIZE size) override { set_client_size(window, size); }
  SIZE default_client_size() const override { return {1024, 640}; }

  bool wait_for_input() override { return hooks().idle && hooks().idle(hooks().idle_context); }

  std::optional<std::wstring> ask_open_file(const OpenFileQuestion& question) override {
    if (!hooks().answer) return std::nullopt;
    LPCWSTR path = hooks().answer(question.request, hooks().answer_context);
    if (!path) return std::nullopt;
    return std::wstring(path);
  }
};

}  // namespace

std::unique_ptr<Backend> make_headless_backend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace velmora::window

void VelmoraHeadlessSetIdle(VelmoraIdleProc proc, void* context) {
  velmora::window::hooks().idle = proc;
  velmora::window::hooks().idle_context = context;
}

void VelmoraHeadlessSetOpenFileAnswer(VelmoraOpenFileAnswer answer, void* context) {
  velmora::window::hooks().answer = answer;
  velmora::window::hooks().answer_context = context;
}
