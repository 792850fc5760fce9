// Cost that grows as the work grows: the player and Velmora measured while
// one thing scales and the rest stays, each case reporting its time per
// unit (Google Benchmark's items_per_second, inverted): it should stay flat.
//   Records     1 k .. 1 M drawing records into a 512 x 512 bitmap
//   Pixels      a fixed picture at 256^2 .. 4096^2 output pixels (player,
//               and Velmora, whose capture is four times as many)
//   ClipRects   1 .. 10 k clip rectangles, one filled shape in each
#include <benchmark/benchmark.h>
#include <velmora.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/canvas.h"
#include "support/emf_builder.h"

namespace {

using velmora::test::EmfBuilder;

constexpr int kPictureSide = 377;  // the builder's default bounds, in reference pixels

// A deterministic spread of positions inside the picture.
struct Spread {
  std::uint32_t state = 12345;
  int next(int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(range));
  }
};

// n records of the kinds real files are made of: boxes, triangles, lines,
// with a brush and a pen selected now and then.
EmfBuilder mixed_records(int n) {
  EmfBuilder b;
  b.create_brush(1, BS_SOLID, RGB(200, 40, 40)).create_pen(2, PS_SOLID, 0, RGB(0, 0, 0));
  b.select_object(1).select_object(2);
  Spread s;
  for (int i = 0; i < n; ++i) {
    const int x = s.next(kPictureSide - 20), y = s.next(kPictureSide - 20);
    switch (i % 4) {
      case 0:
        b.rectangle(x, y, x + 12, y + 9);
        break;
      case 1:
        b.polygon16({{x, y}, {x + 15, y + 4}, {x + 6, y + 14}});
        break;
      case 2:
        b.move_to(x, y);
        break;
      default:
        b.line_to(x + 10, y + 17);
        break;
    }
  }
  return b;
}

HENHMETAFILE picture_of(const EmfBuilder& b) { return b.handle(); }

void play_into(benchmark::State& state, HENHMETAFILE picture, int side, std::int64_t units) {
  velmora::tools::Canvas canvas(side, side);
  if (!picture || !canvas.valid()) return state.SkipWithError("picture or canvas unavailable");
  const RECT rect{0, 0, side, side};
  canvas.fill_white();
  for (auto _ : state) benchmark::DoNotOptimize(PlayEnhMetaFile(canvas.dc(), picture, &rect));
  state.SetItemsProcessed(state.iterations() * units);
}

void BM_Records(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  HENHMETAFILE picture = picture_of(mixed_records(n));
  play_into(state, picture, 512, n);
  DeleteEnhMetaFile(picture);
}

void BM_PlayerPixels(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  HENHMETAFILE picture = picture_of(mixed_records(2000));
  play_into(state, picture, side, std::int64_t{side} * side);
  DeleteEnhMetaFile(picture);
}

void BM_VelmoraPixels(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  HENHMETAFILE picture = picture_of(mixed_records(2000));
  velmora::tools::Canvas canvas(side, side);
  if (!picture || !canvas.valid()) return state.SkipWithError("picture or canvas unavailable");
  canvas.fill_white();
  for (auto _ : state) {
    RECT rect{0, 0, side - 1, side - 1};
    benchmark::DoNotOptimize(Velmora(canvas.dc(), picture, &rect, 255, 0.0, 0.0, 0.0, 1.0, 1.0));
  }
  state.SetItemsProcessed(state.iterations() * side * side);
  DeleteEnhMetaFile(picture);
}

// EMR_EXTSELECTCLIPRGN with RGN_COPY and a region of the given rectangles.
void select_clip_rects(EmfBuilder& b, const std::vector<RECT>& rects) {
  std::vector<std::uint32_t> words;
  const auto count = static_cast<std::uint32_t>(rects.size());
  words.push_back(32 + 16 * count);  // cbRgnData
  words.push_back(RGN_COPY);
  for (std::uint32_t w : {32u, 1u, count, 16 * count}) words.push_back(w);  // RGNDATAHEADER
  for (int w : {0, 0, kPictureSide, kPictureSide}) words.push_back(static_cast<std::uint32_t>(w));
  for (const RECT& r : rects) {
    for (LONG v : {r.left, r.top, r.right, r.bottom}) words.push_back(static_cast<std::uint32_t>(v));
  }
  std::vector<std::uint8_t> body(words.size() * 4);
  for (std::size_t i = 0; i < words.size(); ++i) {
    for (int k = 0; k < 4; ++k) body[i * 4 + k] = static_cast<std::uint8_t>(words[i] >> (8 * k));
  }
  b.raw(EMR_EXTSELECTCLIPRGN, body);
}

// n clip cells on a grid (each a 3 x 3 square with a gap), one shape drawn
// into each, then one box over everything through the whole clip.
void BM_ClipRects(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  int columns = 1;
  while (columns * columns < n) ++columns;
  const int side = 4 * columns;
  EmfBuilder b(RECTL{0, 0, side * 2646 / 100, side * 2646 / 100}, RECTL{0, 0, side - 1, side - 1});
  std::vector<RECT> cells;
  for (int i = 0; i < n; ++i) {
    const int x = 4 * (i % columns), y = 4 * (i / columns);
    cells.push_back(RECT{x, y, x + 3, y + 3});
  }
  select_clip_rects(b, cells);
  b.create_brush(1, BS_SOLID, RGB(20, 120, 20)).select_object(1).select_stock(NULL_PEN);
  for (const RECT& c : cells) b.rectangle(c.left, c.top, c.right + 1, c.bottom + 1);
  b.rectangle(0, 0, side, side);
  HENHMETAFILE picture = b.handle();
  play_into(state, picture, side, n);
  DeleteEnhMetaFile(picture);
}

}  // namespace

BENCHMARK(BM_Records)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerPixels)->RangeMultiplier(2)->Range(256, 4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VelmoraPixels)->RangeMultiplier(2)->Range(256, 4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipRects)->RangeMultiplier(10)->Range(1, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
