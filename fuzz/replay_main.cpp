// Replays inputs through a fuzz target without libFuzzer: every file named,
// or found under a folder named, goes through LLVMFuzzerTestOneInput once,
// in name order. The program fails when an input takes more than
// --max-seconds of processor time (not wall time, which a busy machine
// stretches); with --skip-if-absent it exits 77 (skipped) when none of
// the paths exists.
#include <algorithm>
#include <ctime>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

constexpr int kSkipped = 77;

std::vector<fs::path> inputs_under(const fs::path& path) {
  std::vector<fs::path> files;
  std::error_code error;
  if (fs::is_regular_file(path, error)) files.push_back(path);
  for (const auto& entry : fs::recursive_directory_iterator(path, error)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

double replay(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::clock_t start = std::clock();
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
  double max_seconds = 0;
  bool skip_if_absent = false;
  std::vector<fs::path> files;
  bool any_path = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--max-seconds=", 0) == 0) {
      max_seconds = std::atof(arg.c_str() + 14);
    } else if (arg == "--skip-if-absent") {
      skip_if_absent = true;
    } else {
      any_path = any_path || fs::exists(arg);
      const std::vector<fs::path> found = inputs_under(arg);
      files.insert(files.end(), found.begin(), found.end());
    }
  }
  if (skip_if_absent && !any_path) {
    std::cout << "none of the input folders exists: skipped\n";
    return kSkipped;
  }
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  int slow = 0;
  double slowest = 0;
  for (const fs::path& file : files) {
    const double seconds = replay(file);
    slowest = std::max(slowest, seconds);
    if (max_seconds > 0 && seconds > max_seconds) {
      ++slow;
      std::cout << "too slow: " << file << " took " << seconds << " s\n";
    }
  }
  std::cout << files.size() << " inputs replayed, slowest " << slowest * 1000 << " ms\n";
  return slow == 0 ? 0 : 1;
}
