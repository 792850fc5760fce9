// The desktop back end over GTK 3: each top-level window a GtkWindow whose
// drawing area shows the backing store through Cairo, the main window with
// a menu bar built from its menu, dialog boxes modal over their owner, and
// the native file chooser for the Open dialog.
#pragma once

#include "window/backend.h"

#include <memory>

namespace velmora::window {

// Null when GTK cannot reach a display.
std::unique_ptr<Backend> make_gtk_backend();

}  // namespace velmora::window
