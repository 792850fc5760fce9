// The back end without a display, for tests: input comes from the idle hook
// (see velmora_window.h), the Open dialog is answered by the answer hook,
// and the pixels stay in the backing store for the test to read.
#pragma once

#include "window/backend.h"

#include <memory>

namespace velmora::window {

std::unique_ptr<Backend> make_headless_backend();

}  // namespace velmora::window
