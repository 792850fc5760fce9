// Velmora on a vector drawing (the sample tiger) at three target sizes, and
// each of its stages on its own at the same sizes:
//   Velmora              the whole call
//   Player               the plain player into a capture-sized bitmap
//   Resample             AGG's clear and filtered halving of a capture
//   OwnPasses            pre-fill, key, frame and the result's AlphaBlend
//   FreshBitmaps         making two capture-sized DIB sections and touching
//                        every page once (what a call pays for new memory)
//   MemoryFloor          memset and memcpy of the bytes the own passes move
// Compare OwnPasses with MemoryFloor at the same size for the ratio to the
// floor; Velmora minus the rest is the objects' and the call's overhead.
#include <benchmark/benchmark.h>
#include <velmora.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "capture.h"
#include "capture_geometry.h"
#include "common/canvas.h"
#include "resample.h"

namespace {

using velmora::core::PixelMemory;

// The sample, loaded once and kept for the life of the process.
HENHMETAFILE tiger() {
  static const HENHMETAFILE picture = [] {
    std::ifstream file(VELMORA_SAMPLES_DIR "/tiger.emf", std::ios::binary);
    const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  }();
  return picture;
}

struct Size {
  int width;
  int height;
  int capture_width() const { return 2 * width + 2; }
  int capture_height() const { return 2 * height + 2; }
  std::size_t capture_bytes() const { return std::size_t{4} * capture_width() * capture_height(); }
};

Size size_of(const benchmark::State& state) {
  return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
}

void BM_Velmora(benchmark::State& state) {
  const Size size = size_of(state);
  velmora::tools::Canvas canvas(size.width, size.height);
  if (!tiger() || !canvas.valid()) return state.SkipWithError("sample or canvas unavailable");
  canvas.fill_white();  // drawing over the last iteration costs the same
  for (auto _ : state) {
    RECT rect{0, 0, size.width - 1, size.height - 1};
    benchmark::DoNotOptimize(Velmora(canvas.dc(), tiger(), &rect, 255, 0.0, 0.0, 0.0, 1.0, 1.0));
  }
  state.SetItemsProcessed(state.iterations() * size.width * size.height);
}

// The player alone, into a bitmap of the capture's size and its inner area.
void BM_Player(benchmark::State& state) {
  const Size size = size_of(state);
  velmora::tools::Canvas canvas(size.capture_width(), size.capture_height());
  if (!tiger() || !canvas.valid()) return state.SkipWithError("sample or canvas unavailable");
  const RECT playback{1, 1, 2 * size.width + 1, 2 * size.height + 1};
  canvas.fill_white();
  for (auto _ : state) {
    benchmark::DoNotOptimize(PlayEnhMetaFile(canvas.dc(), tiger(), &playback));
  }
  state.SetItemsProcessed(state.iterations() * size.width * size.height);
}

// A capture as the player leaves it: the tiger drawn, keyed and framed.
class DrawnCapture {
 public:
  explicit DrawnCapture(Size size)
      : size_(size), capture_(size.capture_bytes()), result_(size.capture_bytes()) {
    velmora::tools::Canvas canvas(size.capture_width(), size.capture_height());
    const RECT playback{1, 1, 2 * size.width + 1, 2 * size.height + 1};
    canvas.fill_white();
    PlayEnhMetaFile(canvas.dc(), tiger(), &playback);
    GdiFlush();
    std::memcpy(capture_.data(), canvas.bits(), capture_.size());
    velmora::core::flip_key(capture(), 255);
    velmora::core::clear_frame(capture());
  }
  PixelMemory capture() { return {capture_.data(), size_.capture_width(), size_.capture_height()}; }
  PixelMemory result() { return {result_.data(), size_.capture_width(), size_.capture_height()}; }

 private:
  Size size_;
  std::vector<std::uint8_t> capture_;
  std::vector<std::uint8_t> result_;
};

void BM_Resample(benchmark::State& state) {
  const Size size = size_of(state);
  DrawnCapture drawn(size);
  for (auto _ : state) {
    velmora::core::resample(drawn.capture(), drawn.result(), size.width, size.height, 0.0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * size.width * size.height);
}

// The passes Velmora makes over its own bitmaps besides the player and AGG's
// span generator: pre-fill, key, frame, and AlphaBlend of the tiger's real
// result (transparent, opaque and edge pixels in the picture's own mix) onto
// a white target, put back untimed before each iteration.
void BM_OwnPasses(benchmark::State& state) {
  const Size size = size_of(state);
  velmora::tools::Canvas target(size.width, size.height);
  velmora::tools::Canvas capture(size.capture_width(), size.capture_height());
  velmora::tools::Canvas result(size.capture_width(), size.capture_height());
  if (!tiger() || !target.valid() || !capture.valid() || !result.valid()) {
    return state.SkipWithError("sample or canvas unavailable");
  }
  DrawnCapture drawn(size);
  velmora::core::resample(drawn.capture(), drawn.result(), size.width, size.height, 0.0);
  std::memcpy(result.bits(), drawn.result().bits, size.capture_bytes());
  target.fill_white();
  const std::vector<std::uint8_t> white(target.bits(), target.bits() + std::size_t{4} * size.width * size.height);
  const PixelMemory memory{capture.bits(), size.capture_width(), size.capture_height()};
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(target.bits(), white.data(), white.size());
    state.ResumeTiming();
    velmora::core::prefill(memory, 255);
    velmora::core::flip_key(memory, 255);
    velmora::core::clear_frame(memory);
    AlphaBlend(target.dc(), 0, 0, size.width, size.height, result.dc(), 0, 0, size.width, size.height, blend);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * size.width * size.height);
}

void BM_FreshBitmaps(benchmark::State& state) {
  const Size size = size_of(state);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.capture_width(), size.capture_height(), 1, 32, BI_RGB};
  for (auto _ : state) {
    for (int i = 0; i < 2; ++i) {
      void* bits = nullptr;
      HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      auto* bytes = static_cast<volatile std::uint8_t*>(bits);
      for (std::size_t at = 0; bytes && at < size.capture_bytes(); at += 4096) bytes[at] = 0;
      DeleteObject(bitmap);
    }
  }
  DeleteDC(dc);
  state.SetItemsProcessed(state.iterations() * size.width * size.height);
}

// The bytes the own passes move, at memory speed: the pre-fill and the
// result's clear written, the key read and written, the blit's source and
// target read and the target written.
void BM_MemoryFloor(benchmark::State& state) {
  const Size size = size_of(state);
  const std::size_t capture = size.capture_bytes();
  const std::size_t target = std::size_t{4} * size.width * size.height;
  std::vector<std::uint8_t> a(capture, 1), b(capture, 2), c(target, 3);
  for (auto _ : state) {
    std::memset(a.data(), 0, capture);       // pre-fill
    std::memcpy(b.data(), a.data(), capture);  // key: every byte read and written once
    std::memset(b.data(), 0, capture);       // the result's clear
    std::memcpy(c.data(), a.data(), target);   // blit: source read, target written
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * size.width * size.height);
}

void target_sizes(benchmark::internal::Benchmark* b) {
  b->Args({256, 256})->Args({1024, 768})->Args({2048, 1536})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Velmora)->Apply(target_sizes);
BENCHMARK(BM_Player)->Apply(target_sizes);
BENCHMARK(BM_Resample)->Apply(target_sizes);
BENCHMARK(BM_OwnPasses)->Apply(target_sizes);
BENCHMARK(BM_FreshBitmaps)->Apply(target_sizes);
BENCHMARK(BM_MemoryFloor)->Apply(target_sizes);
BENCHMARK_MAIN();
