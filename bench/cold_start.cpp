// velmora_cold_start: what the first call in a fresh process costs. Draws
// FILE through VelmoraFile into a WIDTH x HEIGHT 32-bit DIB twice and
// prints the first call's time, the second's, and whether the process did
// font work: Fontconfig maps its cache files once it loads its
// configuration, so their presence in /proc/self/maps after the first call
// tells.
//
// Usage: velmora_cold_start FILE [WIDTH HEIGHT]
// Prints "first_ms=... warm_ms=... font_work=yes|no", or "refused" (exit
// status 1) when the library refuses the picture. bench/cold_start.sh runs it in fresh processes.
#include <velmora.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/canvas.h"

namespace {

double timed_call(HDC dc, const char* path, RECT rect, int* result) {
  const auto start = std::chrono::steady_clock::now();
  *result = VelmoraFile(dc, path, &rect, 255, true, 0.0);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool fontconfig_loaded() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find("fontconfig") != std::string::npos && line.find(".cache") != std::string::npos) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: %s FILE [WIDTH HEIGHT]\n", argv[0]);
    return 2;
  }
  const int width = argc == 4 ? std::atoi(argv[2]) : 800;
  const int height = argc == 4 ? std::atoi(argv[3]) : 600;
  const char* path = argv[1];
  velmora::tools::Canvas canvas(width, height);
  if (!canvas.valid()) return 1;
  canvas.fill_white();
  int first_result = 0;
  int warm_result = 0;
  const double first = timed_call(canvas.dc(), path, RECT{0, 0, width, height}, &first_result);
  const bool font_work = fontconfig_loaded();
  const double warm = timed_call(canvas.dc(), path, RECT{0, 0, width, height}, &warm_result);
  if (!first_result || !warm_result) {
    std::printf("refused\n");
    return 1;
  }
  std::printf("first_ms=%.3f warm_ms=%.3f font_work=%s\n", first, warm, font_work ? "yes" : "no");
  return 0;
}
