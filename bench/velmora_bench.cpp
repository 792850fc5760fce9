// Velmora on a vector drawing (the sample tiger) at three target sizes,
// beside the plain player drawing the same picture at the capture's size
// (2W + 2) x (2H + 2): the difference is the time spent outside the player
// (pre-fill, key, AGG resampling, blit, objects).
#include <benchmark/benchmark.h>
#include <velmora.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "common/canvas.h"

namespace {

// The sample, loaded once and kept for the life of the process.
HENHMETAFILE tiger() {
  static const HENHMETAFILE picture = [] {
    std::ifstream file(VELMORA_SAMPLES_DIR "/tiger.emf", std::ios::binary);
    const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  }();
  return picture;
}

void BM_Velmora(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  velmora::tools::Canvas canvas(width, height);
  if (!tiger() || !canvas.valid()) return state.SkipWithError("sample or canvas unavailable");
  canvas.fill_white();  // drawing over the last iteration costs the same
  for (auto _ : state) {
    RECT rect{0, 0, width - 1, height - 1};
    benchmark::DoNotOptimize(Velmora(canvas.dc(), tiger(), &rect, 255, 0.0, 0.0, 0.0, 1.0, 1.0));
  }
  state.SetItemsProcessed(state.iterations() * width * height);
}

// The player alone, into a bitmap of the capture's size and its inner area.
void BM_PlainPlayerAtCaptureSize(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  velmora::tools::Canvas canvas(2 * width + 2, 2 * height + 2);
  if (!tiger() || !canvas.valid()) return state.SkipWithError("sample or canvas unavailable");
  const RECT playback{1, 1, 2 * width + 1, 2 * height + 1};
  canvas.fill_white();
  for (auto _ : state) {
    benchmark::DoNotOptimize(PlayEnhMetaFile(canvas.dc(), tiger(), &playback));
  }
  state.SetItemsProcessed(state.iterations() * width * height);
}

void target_sizes(benchmark::internal::Benchmark* b) {
  b->Args({256, 256})->Args({1024, 768})->Args({2048, 1536})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Velmora)->Apply(target_sizes);
BENCHMARK(BM_PlainPlayerAtCaptureSize)->Apply(target_sizes);
BENCHMARK_MAIN();
