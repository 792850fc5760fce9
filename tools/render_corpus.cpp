// velmora-render-corpus: draws every metafile of a folder tree with the
// plain player the way the corpus references were drawn (white 32-bit DIB,
// the picture fitted to its aspect ratio at the top-left corner, no
// anti-aliasing) into OUT/<folder>/<file>.png, and reports the time of each
// playback and the slowest files.
//
// Usage: velmora-render-corpus IN_DIR OUT_DIR [SIZE]   (SIZE defaults to 640)
//
// Each file is played in a child process under a time limit, so a file that
// crashes or hangs the player is reported instead of ending the run.
#include "common/canvas.h"
#include "fit_rect.h"
#include "identify.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
constexpr unsigned kSecondsPerFile = 30;

std::vector<BYTE> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Plays one file and writes its PNG; returns the playback time in ms, or -1.
double render_one(const fs::path& in, const fs::path& out, int size) {
  const std::vector<BYTE> bytes = read_file(in);
  const velmora::IdentifiedMetafile id = velmora::IdentifyMetafile(bytes.data(), static_cast<DWORD>(bytes.size()));
  if (!id.picture) return -1;
  velmora::tools::Canvas canvas(size, size);
  if (!canvas.valid()) {
    DeleteEnhMetaFile(id.picture);
    return -1;
  }
  canvas.fill_white();
  const RECT fitted = velmora::FitToAspect(RECT{0, 0, size, size}, id.aspect);
  const auto start = std::chrono::steady_clock::now();
  PlayEnhMetaFile(canvas.dc(), id.picture, &fitted);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  DeleteEnhMetaFile(id.picture);
  fs::create_directories(out.parent_path());
  canvas.write_png(out.string());
  return ms;
}

struct Result {
  std::string file;
  std::string status;  // ok, refused, crashed, timeout
  double ms = 0;
};

Result render_in_child(const fs::path& in, const fs::path& out, int size, const std::string& name) {
  int fds[2];
  if (pipe(fds) != 0) return {name, "error"};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    alarm(kSecondsPerFile);
    const double ms = render_one(in, out, size);
    (void)!write(fds[1], &ms, sizeof ms);
    _exit(0);
  }
  close(fds[1]);
  double ms = -1;
  const bool got = read(fds[0], &ms, sizeof ms) == sizeof ms;
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return {name, WTERMSIG(status) == SIGALRM ? "timeout" : "crashed"};
  if (!got || ms < 0) return {name, "refused"};
  return {name, "ok", ms};
}

std::vector<fs::path> metafiles(const fs::path& root) {
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".emf" || ext == ".wmf" || ext == ".EMF" || ext == ".WMF")) {
      files.push_back(e.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s IN_DIR OUT_DIR [SIZE]\n", argv[0]);
    return 2;
  }
  const fs::path in_dir = argv[1], out_dir = argv[2];
  const int size = argc > 3 ? std::max(1, std::atoi(argv[3])) : 640;
  std::vector<Result> results;
  double total = 0;
  for (const fs::path& file : metafiles(in_dir)) {
    const fs::path rel = file.lexically_relative(in_dir);
    Result r = render_in_child(file, out_dir / (rel.string() + ".png"), size, rel.string());
    total += r.ms;
    if (r.status != "ok") std::printf("%s: %s\n", r.file.c_str(), r.status.c_str());
    results.push_back(r);
  }
  std::ofstream csv(out_dir / "times.csv");
  csv << "file,status,ms\n";
  for (const Result& r : results) csv << r.file << ',' << r.status << ',' << r.ms << '\n';
  std::sort(results.begin(), results.end(), [](const Result& a, const Result& b) { return a.ms > b.ms; });
  std::printf("%zu files, %.1f ms of playback in all at %d x %d\nslowest:\n", results.size(), total, size, size);
  for (std::size_t i = 0; i < std::min<std::size_t>(5, results.size()); ++i) {
    std::printf("  %8.1f ms  %s\n", results[i].ms, results[i].file.c_str());
  }
  const auto failed = std::count_if(results.begin(), results.end(), [](const Result& r) { return r.status != "ok"; });
  return failed == 0 ? 0 : 1;
}
