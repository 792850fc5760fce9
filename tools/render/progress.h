// A one-line progress bar on standard error, drawn only when standard error
// is a terminal; messages printed through it appear above the bar.
#pragma once

#include <cstddef>
#include <string>

namespace velmora::render {

class Progress {
 public:
  Progress(std::size_t total, bool wanted);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // A line for standard error, printed above the bar.
  void message(const std::string& line);
  void advance(const std::string& current);

 private:
  void draw();
  void clear();

  std::size_t total_;
  std::size_t done_ = 0;
  std::string current_;
  bool shown_;
};

}  // namespace velmora::render
