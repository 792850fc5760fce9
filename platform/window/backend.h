// What the window model asks of a back end: native windows for its
// top-level windows, their titles and pixels shown, input gathered into the
// message queue, and the common Open dialog. The model keeps all state; a
// back end only mirrors it and posts the input it receives.
#pragma once

#include "window/window.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::window {

struct FileFilter {
  std::wstring name;                   // "Metafile (*.wmf, *.emf)"
  std::vector<std::wstring> patterns;  // "*.wmf", "*.emf"
};

struct OpenFileQuestion {
  const OPENFILENAMEW* request = nullptr;
  HWND owner = nullptr;
  std::wstring title;
  std::vector<FileFilter> filters;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* name() const = 0;

  // Top-level windows only (controls are drawn by their dialog).
  virtual void window_created(Window& window) = 0;
  virtual void window_destroyed(Window& window) = 0;
  virtual void window_shown(Window& window) = 0;
  virtual void title_changed(Window& window) = 0;
  virtual void pixels_changed(Window& window) = 0;
  // The program asked for a client size (MoveWindow); the back end answers
  // with set_client_size, at once or when the desktop agrees.
  virtual void resize_requested(Window& window, SIZE size) = 0;

  // The client size of a window created with CW_USEDEFAULT.
  virtual SIZE default_client_size() const = 0;

  // Waits until input may have been posted. False: none will ever come.
  virtual bool wait_for_input() = 0;

  // The path the user chose, or empty when the dialog was cancelled.
  virtual std::optional<std::wstring> ask_open_file(const OpenFileQuestion& question) = 0;
};

// The back end of the process, chosen on first use.
Backend& backend();

}  // namespace velmora::window
