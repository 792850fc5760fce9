// velmora_corpus_play: the plain player's warm time on every corpus file
// that has a reference rendering, drawn as the references were drawn (a
// white SIZE x SIZE 32-bit DIB, the picture fitted to its aspect ratio at
// the top-left corner). Each file is played once untimed, then REPEAT times;
// the best time is reported, the background refill not timed.
//
// Usage: velmora_corpus_play FILES_DIR REF_DIR [SIZE] [REPEAT]
//        velmora_corpus_play --file FILE [SIZE] [REPEAT]
// Prints "file,ms" lines (file relative to FILES_DIR), then a total; with
// --file, the one file's best time.
#include "common/canvas.h"
#include "fit_rect.h"
#include "identify.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> referenced_files(const fs::path& files, const fs::path& refs) {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& e : fs::recursive_directory_iterator(files, error)) {
    if (!e.is_regular_file()) continue;
    const fs::path rel = e.path().lexically_relative(files);
    if (fs::exists(refs / (rel.string() + ".png"))) found.push_back(rel);
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Best time of `repeat` plays in ms, after one untimed play; -1 when the file
// is refused.
double best_play(const fs::path& path, int size, int repeat) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const velmora::IdentifiedMetafile id = velmora::IdentifyMetafile(bytes.data(), static_cast<DWORD>(bytes.size()));
  if (!id.picture) return -1;
  velmora::tools::Canvas canvas(size, size);
  const RECT fitted = velmora::FitToAspect(RECT{0, 0, size, size}, id.aspect);
  double best = 1e300;
  for (int i = 0; i <= repeat && canvas.valid(); ++i) {
    canvas.fill_white();
    const auto start = std::chrono::steady_clock::now();
    PlayEnhMetaFile(canvas.dc(), id.picture, &fitted);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (i > 0) best = std::min(best, ms);
  }
  DeleteEnhMetaFile(id.picture);
  return canvas.valid() ? best : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s FILES_DIR REF_DIR [SIZE] [REPEAT]\n", argv[0]);
    return 2;
  }
  const int size = argc > 3 ? std::max(1, std::atoi(argv[3])) : 640;
  const int repeat = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
  if (std::string(argv[1]) == "--file") {
    std::printf("%.4f\n", best_play(argv[2], size, repeat));
    return 0;
  }
  double total = 0;
  std::printf("file,ms\n");
  for (const fs::path& rel : referenced_files(argv[1], argv[2])) {
    const double ms = best_play(fs::path(argv[1]) / rel, size, repeat);
    std::printf("%s,%.4f\n", rel.string().c_str(), ms);
    if (ms > 0) total += ms;
  }
  std::fprintf(stderr, "total %.1f ms\n", total);
  return 0;
}
