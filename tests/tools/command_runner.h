// Runs velmora-render as a user or a script would: a separate process with
// its own arguments, standard input from a file, and what it printed and
// returned collected for the test.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

struct CommandResult {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;  // standard output, bytes as written
  std::string err;  // standard error
};

// `stdin_file` empty: standard input is /dev/null.
CommandResult run_render(const std::vector<std::string>& args, const std::filesystem::path& stdin_file = {});

// Runs it with standard error (and output) on a pseudo-terminal, as in a
// terminal window; gives everything written there.
CommandResult run_render_on_terminal(const std::vector<std::string>& args);

// A fresh folder under the system's temporary folder, removed on destruction.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string read_bytes(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);
// The names of every file under `folder`, relative to it, sorted.
std::vector<std::string> files_under(const std::filesystem::path& folder);

}  // namespace velmora::test
