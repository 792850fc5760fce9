// Drives a program through the headless window back end: each step runs
// when the message loop has nothing left to do (all posted messages
// handled, all windows painted), so a step sees the effect of the one
// before. When the steps run out the loop ends with VELMORA_INPUT_EXHAUSTED.
#pragma once

#include <windows.h>
#include <velmora_window.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

class HeadlessSession {
 public:
  HeadlessSession();
  ~HeadlessSession();
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  HeadlessSession& then(std::function<void()> step);
  // A step to run right after the one running now.
  HeadlessSession& next(std::function<void()> step);
  // Answers the next Open dialogs in turn; an empty optional cancels. Each
  // request the dialog put is kept.
  HeadlessSession& answer_open(std::vector<std::optional<std::wstring>> answers);

  std::size_t steps_run() const { return next_; }
  const std::vector<OPENFILENAMEW>& open_requests() const { return requests_; }

 private:
  static BOOL idle(void* self);
  static LPCWSTR answer(const OPENFILENAMEW* request, void* self);

  std::vector<std::function<void()>> steps_;
  std::size_t next_ = 0;
  std::vector<std::optional<std::wstring>> answers_;
  std::size_t next_answer_ = 0;
  std::vector<OPENFILENAMEW> requests_;
};

// A window's client pixels, read from its backing store.
struct Ink {
  int count = 0;            // pixels that are not the white background
  RECT bounds{0, 0, 0, 0};  // their bounding box, right and bottom exclusive
};
Ink ink_in(HWND window, const RECT& area);

// The title of a window.
std::wstring title_of(HWND window);

// A temporary folder made the working directory for the test's life.
class ScopedWorkingDirectory {
 public:
  ScopedWorkingDirectory();
  ~ScopedWorkingDirectory();
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

  std::wstring path() const;
  // Writes a file into the folder; returns its full path.
  std::wstring write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

 private:
  std::string previous_;
  std::string folder_;
};

std::vector<std::uint8_t> read_bytes(const std::string& path);

}  // namespace velmora::test
