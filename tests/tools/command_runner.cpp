#include "tools/command_runner.h"

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace velmora::test {
namespace fs = std::filesystem;

namespace {

std::vector<std::string> command_line(const std::vector<std::string>& args) {
  std::vector<std::string> line{VELMORA_RENDER_PATH};
  line.insert(line.end(), args.begin(), args.end());
  return line;
}

}  // namespace

CommandResult run_render_on_terminal(const std::vector<std::string>& args) {
  std::vector<std::string> line = command_line(args);
  std::vector<char*> argv;
  for (std::string& a : line) argv.push_back(a.data());
  argv.push_back(nullptr);
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid < 0) throw std::runtime_error("no pseudo-terminal");
  if (pid == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  CommandResult result;
  char chunk[4096];
  for (ssize_t got; (got = read(terminal, chunk, sizeof chunk)) > 0;) result.err.append(chunk, std::size_t(got));
  close(terminal);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

CommandResult run_render(const std::vector<std::string>& args, const fs::path& stdin_file) {
  const ScratchFolder streams;
  const fs::path out = streams / "stdout";
  const fs::path err = streams / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string in = stdin_file.empty() ? "/dev/null" : stdin_file.string();
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> argv_strings = command_line(args);
  std::vector<char*> argv;
  for (std::string& a : argv_strings) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " VELMORA_RENDER_PATH);
  int status = 0;
  waitpid(pid, &status, 0);
  return CommandResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_bytes(out), read_bytes(err)};
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (fs::temp_directory_path() / "velmora-render-test.XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string read_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> files_under(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) names.push_back(entry.path().lexically_relative(folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace velmora::test
