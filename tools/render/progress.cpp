#include "render/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace velmora::render {
namespace {

constexpr int kBarCells = 30;

int terminal_columns() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

Progress::Progress(std::size_t total, bool wanted) : total_(total), shown_(wanted && ::isatty(STDERR_FILENO)) {
  draw();
}

Progress::~Progress() { clear(); }

void Progress::message(const std::string& line) {
  clear();
  std::fprintf(stderr, "%s\n", line.c_str());
  draw();
}

void Progress::advance(const std::string& current) {
  ++done_;
  current_ = current;
  draw();
}

void Progress::draw() {
  if (!shown_ || total_ == 0) return;
  const auto filled = static_cast<int>(kBarCells * done_ / total_);
  std::string bar(1, '[');
  bar.append(static_cast<std::size_t>(filled), '#').append(static_cast<std::size_t>(kBarCells - filled), ' ');
  bar += "] " + std::to_string(done_) + "/" + std::to_string(total_) + " " + current_;
  bar.resize(std::min<std::size_t>(bar.size(), static_cast<std::size_t>(terminal_columns() - 1)));
  std::fprintf(stderr, "\r\033[K%s", bar.c_str());
  std::fflush(stderr);
}

void Progress::clear() {
  if (!shown_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
}

}  // namespace velmora::render
