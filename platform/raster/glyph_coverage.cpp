#include "raster/glyph_coverage.h"

#include "raster/scan_fill.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace velmora::platform {
namespace {

// Kept pieces, and the most levels they hold, before the cache starts again.
constexpr std::size_t kMaxPieces = 4096;
constexpr std::size_t kMaxLevels = std::size_t{8} << 20;
// A piece larger than this is drawn but not kept.
constexpr long kMaxKeptPiecePixels = 256 * 256;

constexpr int kSubpixelShift = agg::poly_subpixel_shift;

// A closed outline in the rasterizer's subpixels, as it will read the
// points: points [first, last) of the run's list (x, y, x, y, ...).
struct Contour {
  std::size_t first = 0, last = 0;
  int left = 0, top = 0, right = 0, bottom = 0;  // pixels its edges touch, inclusive
};

// The run's contours, and the pieces as runs of contour indices: piece k is
// order[starts[k]] .. order[starts[k + 1] - 1], in path order. Kept for the
// thread so that their memory is reused from run to run.
struct RunParts {
  std::vector<int> xy;
  std::vector<Contour> contours;
  std::vector<std::size_t> parent, by_left, order, starts, piece_of_root;
};

bool read_contours(agg::path_storage& path, int width, int height, RunParts& run) {
  run.xy.clear();
  run.contours.clear();
  const unsigned count = path.total_vertices();
  bool open = false;  // a line may only continue an open contour
  for (unsigned i = 0; i < count; ++i) {
    double x, y;
    const unsigned cmd = path.vertex(i, &x, &y);
    if (agg::is_end_poly(cmd)) {
      open = false;
      continue;
    }
    if (!agg::is_move_to(cmd) && !(agg::is_line_to(cmd) && open)) return false;
    if (!(x >= 0 && x <= width && y >= 0 && y <= height)) return false;
    if (agg::is_move_to(cmd)) run.contours.push_back({run.xy.size(), run.xy.size()});
    open = true;
    run.xy.push_back(agg::ras_conv_dbl::xi(x));
    run.xy.push_back(agg::ras_conv_dbl::yi(y));
    run.contours.back().last = run.xy.size();
  }
  for (Contour& c : run.contours) {
    int x0 = run.xy[c.first], y0 = run.xy[c.first + 1], x1 = x0, y1 = y0;
    for (std::size_t k = c.first + 2; k < c.last; k += 2) {
      x0 = std::min(x0, run.xy[k]);
      x1 = std::max(x1, run.xy[k]);
      y0 = std::min(y0, run.xy[k + 1]);
      y1 = std::max(y1, run.xy[k + 1]);
    }
    c.left = x0 >> kSubpixelShift;
    c.top = y0 >> kSubpixelShift;
    c.right = x1 >> kSubpixelShift;
    c.bottom = y1 >> kSubpixelShift;
  }
  return true;
}

bool boxes_meet(const Contour& a, const Contour& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// Contours grouped into pieces: those whose boxes meet, directly or through
// others, go together.
void find_pieces(RunParts& run) {
  const std::vector<Contour>& contours = run.contours;
  const std::size_t n = contours.size();
  std::vector<std::size_t>& parent = run.parent;
  parent.resize(n);
  std::iota(parent.begin(), parent.end(), std::size_t{0});
  auto root = [&](std::size_t i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
  };
  std::vector<std::size_t>& by_left = run.by_left;
  by_left.resize(n);
  std::iota(by_left.begin(), by_left.end(), std::size_t{0});
  std::sort(by_left.begin(), by_left.end(),
            [&](std::size_t a, std::size_t b) { return contours[a].left < contours[b].left; });
  for (std::size_t i = 0; i < n; ++i) {
    const Contour& a = contours[by_left[i]];
    for (std::size_t j = i + 1; j < n && contours[by_left[j]].left <= a.right; ++j) {
      if (boxes_meet(a, contours[by_left[j]])) parent[root(by_left[i])] = root(by_left[j]);
    }
  }
  // Number the pieces by their first contour, count their contours, then
  // lay the contours out piece by piece.
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<std::size_t>& piece_of_root = run.piece_of_root;
  piece_of_root.assign(n, kNone);
  std::vector<std::size_t>& starts = run.starts;
  starts.clear();
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t& piece = piece_of_root[root(i)];
    if (piece == kNone) {
      piece = starts.size();
      starts.push_back(0);
    }
    ++starts[piece];
  }
  std::size_t total = 0;
  for (std::size_t& start : starts) total += std::exchange(start, total);
  starts.push_back(total);
  run.order.resize(n);
  std::vector<std::size_t>& next = by_left;  // reused: the next free place of each piece
  next.assign(starts.begin(), starts.end() - 1);
  for (std::size_t i = 0; i < n; ++i) run.order[next[piece_of_root[root(i)]]++] = i;
}

// A piece's points relative to its box's top-left pixel: the count of each
// contour's points, then the points. Equal keys rasterize alike.
using PieceKey = std::vector<int>;

struct PieceKeyHash {
  std::size_t operator()(const PieceKey& key) const {
    std::size_t h = key.size();
    for (int v : key) h = (h ^ static_cast<std::size_t>(static_cast<unsigned>(v))) * 0x100000001B3ull;
    return h;
  }
};

void make_key(const RunParts& run, std::size_t piece, int left, int top, PieceKey& key) {
  key.clear();
  for (std::size_t k = run.starts[piece]; k < run.starts[piece + 1]; ++k) {
    const Contour& c = run.contours[run.order[k]];
    key.push_back(static_cast<int>(c.last - c.first));
    for (std::size_t p = c.first; p < c.last; p += 2) {
      key.push_back(run.xy[p] - (left << kSubpixelShift));
      key.push_back(run.xy[p + 1] - (top << kSubpixelShift));
    }
  }
}

// The piece drawn alone from its key, its box at the origin: the points are
// whole subpixels, so the rasterizer reads them back unchanged.
PieceCoverage rasterize_piece(const PieceKey& key, int width, int height) {
  PieceCoverage out{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, 0)};
  ScanTools& tools = scan_tools();
  ScanRasterizer& ras = tools.ras;
  ras.reset_clipping();
  ras.filling_rule(agg::fill_non_zero);
  constexpr double kScale = 1.0 / (1 << kSubpixelShift);
  for (std::size_t k = 0; k < key.size();) {
    const std::size_t end = k + 1 + static_cast<std::size_t>(key[k]);
    for (std::size_t p = k + 1; p < end; p += 2) {
      const double x = key[p] * kScale, y = key[p + 1] * kScale;
      if (p == k + 1)
        ras.move_to_d(x, y);
      else
        ras.line_to_d(x, y);
    }
    k = end;
  }
  if (!ras.rewind_scanlines()) return out;
  agg::scanline_u8& sl = tools.sl;
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    const int y = sl.y();
    auto span = sl.begin();
    for (unsigned n = sl.num_spans(); n > 0; --n, ++span) {
      for (int i = 0; i < span->len; ++i) {
        const int x = span->x + i;
        if (x >= 0 && x < width && y >= 0 && y < height)
          out.levels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(coverage_level(span->covers[i]));
      }
    }
  }
  return out;
}

class CoverageCache {
 public:
  // Forgets everything when full; call only between runs, as it ends what
  // earlier calls handed out.
  void make_room() {
    if (pieces_.size() < kMaxPieces && levels_ < kMaxLevels) return;
    pieces_.clear();
    levels_ = 0;
  }
  const PieceCoverage* find(const PieceKey& key) {
    const auto it = pieces_.find(key);
    return it == pieces_.end() ? nullptr : &it->second;
  }
  const PieceCoverage* keep(PieceKey key, PieceCoverage coverage) {
    levels_ += coverage.levels.size();
    return &pieces_.emplace(std::move(key), std::move(coverage)).first->second;
  }

 private:
  std::unordered_map<PieceKey, PieceCoverage, PieceKeyHash> pieces_;
  std::size_t levels_ = 0;
};

CoverageCache& thread_cache() {
  thread_local CoverageCache cache;
  return cache;
}

// Pieces too large to keep live here until the next run.
std::vector<PieceCoverage>& thread_unkept() {
  thread_local std::vector<PieceCoverage> unkept;
  return unkept;
}

}  // namespace

std::optional<std::vector<PlacedCoverage>> glyph_coverage(agg::path_storage& glyphs, int width, int height) {
  thread_local RunParts run;
  thread_local PieceKey key;
  if (!read_contours(glyphs, width, height, run)) return std::nullopt;
  CoverageCache& cache = thread_cache();
  cache.make_room();
  std::vector<PieceCoverage>& unkept = thread_unkept();
  unkept.clear();
  find_pieces(run);
  const std::size_t pieces = run.starts.size() - 1;
  unkept.reserve(pieces);  // pointers into it are handed out
  std::vector<PlacedCoverage> placed;
  placed.reserve(pieces);
  for (std::size_t piece = 0; piece < pieces; ++piece) {
    int left = width, top = height, right = 0, bottom = 0;
    for (std::size_t k = run.starts[piece]; k < run.starts[piece + 1]; ++k) {
      const Contour& c = run.contours[run.order[k]];
      left = std::min(left, c.left);
      top = std::min(top, c.top);
      right = std::max(right, c.right);
      bottom = std::max(bottom, c.bottom);
    }
    make_key(run, piece, left, top, key);
    const PieceCoverage* coverage = cache.find(key);
    if (!coverage) {
      const int w = right - left + 1, h = bottom - top + 1;
      PieceCoverage drawn = rasterize_piece(key, w, h);
      if (static_cast<long>(w) * h <= kMaxKeptPiecePixels) {
        coverage = cache.keep(key, std::move(drawn));
      } else {
        unkept.push_back(std::move(drawn));
        coverage = &unkept.back();
      }
    }
    placed.push_back({coverage, left, top});
  }
  return placed;
}

}  // namespace velmora::platform
