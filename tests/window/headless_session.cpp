#include "window/headless_session.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace velmora::test {
namespace {

// Tests run without a display whatever the environment says: the choice is
// made at the first window call, after this.
[[maybe_unused]] const bool kHeadless = setenv("VELMORA_WINDOW_BACKEND", "headless", 1) == 0;

constexpr DWORD kWhite = 0xFFFFFF;

}  // namespace

HeadlessSession::HeadlessSession() {
  VelmoraHeadlessSetIdle(&HeadlessSession::idle, this);
  VelmoraHeadlessSetOpenFileAnswer(&HeadlessSession::answer, this);
}

HeadlessSession::~HeadlessSession() {
  VelmoraHeadlessSetIdle(nullptr, nullptr);
  VelmoraHeadlessSetOpenFileAnswer(nullptr, nullptr);
}

HeadlessSession& HeadlessSession::then(std::function<void()> step) {
  steps_.push_back(std::move(step));
  return *this;
}

HeadlessSession& HeadlessSession::answer_open(std::vector<std::optional<std::wstring>> answers) {
  answers_ = std::move(answers);
  next_answer_ = 0;
  return *this;
}

HeadlessSession& HeadlessSession::next(std::function<void()> step) {
  steps_.insert(steps_.begin() + static_cast<std::ptrdiff_t>(next_), std::move(step));
  return *this;
}

// The step is copied out first: it may add steps, which moves the list.
BOOL HeadlessSession::idle(void* self) {
  auto* session = static_cast<HeadlessSession*>(self);
  if (session->next_ >= session->steps_.size()) return FALSE;
  const std::function<void()> step = session->steps_[session->next_++];
  step();
  return TRUE;
}

LPCWSTR HeadlessSession::answer(const OPENFILENAMEW* request, void* self) {
  auto* session = static_cast<HeadlessSession*>(self);
  session->requests_.push_back(*request);
  if (session->next_answer_ >= session->answers_.size()) return nullptr;
  const std::optional<std::wstring>& a = session->answers_[session->next_answer_++];
  return a ? a->c_str() : nullptr;
}

Ink ink_in(HWND window, const RECT& area) {
  const DWORD* pixels = nullptr;
  int width = 0, height = 0;
  Ink ink;
  if (!VelmoraWindowPixels(window, &pixels, &width, &height)) return ink;
  ink.bounds = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (LONG y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height); ++y) {
    for (LONG x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width); ++x) {
      if ((pixels[y * width + x] & 0xFFFFFF) == kWhite) continue;
      ++ink.count;
      ink.bounds = {std::min(ink.bounds.left, x), std::min(ink.bounds.top, y), std::max(ink.bounds.right, x + 1),
                    std::max(ink.bounds.bottom, y + 1)};
    }
  }
  if (ink.count == 0) ink.bounds = {0, 0, 0, 0};
  return ink;
}

std::wstring title_of(HWND window) {
  wchar_t text[512];
  const int n = GetWindowTextW(window, text, 512);
  return std::wstring(text, n);
}

ScopedWorkingDirectory::ScopedWorkingDirectory() {
  previous_ = std::filesystem::current_path().string();
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-viewer-XXXXXX").string();
  folder_ = mkdtemp(pattern.data()) ? pattern : previous_;
  std::filesystem::current_path(folder_);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  if (folder_ != previous_) std::filesystem::remove_all(folder_, ignored);
}

std::wstring ScopedWorkingDirectory::path() const { return std::filesystem::path(folder_).wstring(); }

std::wstring ScopedWorkingDirectory::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  const std::filesystem::path file = std::filesystem::path(folder_) / name;
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return file.wstring();
}

std::vector<std::uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace velmora::test
