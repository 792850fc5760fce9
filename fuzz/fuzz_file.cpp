// The file entry points on a file of any content: the bytes are written to
// a file of this process's own, then drawn through VelmoraFileW (fitted) and
// VelmoraFile (turned).
#include "fuzz_canvas.h"

#include <velmora.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string& file_path() {
  static std::string path = "/tmp/velmora-fuzz-file-" + std::to_string(getpid()) + ".bin";
  return path;
}

bool write_file(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(file_path().c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!write_file(data, size)) return 0;
  const std::wstring wide(file_path().begin(), file_path().end());
  const velmora::fuzz::FuzzCanvas canvas;
  RECT bounds = canvas.bounds();
  VelmoraFileW(canvas.dc(), wide.c_str(), &bounds, 255, true, 0.0);
  VelmoraFile(canvas.dc(), file_path().c_str(), &bounds, 200, false, 2.0);
  std::remove(file_path().c_str());
  return 0;
}
