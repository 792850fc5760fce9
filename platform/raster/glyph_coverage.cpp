#include "raster/glyph_coverage.h"

#include "raster/scan_fill.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace velmora::platform {
namespace {

// Kept pieces, and the most levels they hold, before the cache starts again.
constexpr std::size_t kMaxPieces = 4096;
constexpr std::size_t kMaxLevels = std::size_t{8} << 20;
// A piece larger than this is drawn but not kept.
constexpr long kMaxKeptPiecePixels = 256 * 256;

constexpr int kSubpixelShift = agg::poly_subpixel_shift;

// A closed outline in the rasterizer's subpixels, as it will read the points.
struct Contour {
  std::vector<int> xy;  // x, y, x, y, ...
  int left = 0, top = 0, right = 0, bottom = 0;  // pixels its edges touch, inclusive
};

std::optional<std::vector<Contour>> contours_of(agg::path_storage& path, int width, int height) {
  std::vector<Contour> out;
  const unsigned count = path.total_vertices();
  bool open = false;  // a line may only continue an open contour
  for (unsigned i = 0; i < count; ++i) {
    double x, y;
    const unsigned cmd = path.vertex(i, &x, &y);
    if (agg::is_end_poly(cmd)) {
      open = false;
      continue;
    }
    if (!agg::is_move_to(cmd) && !(agg::is_line_to(cmd) && open)) return std::nullopt;
    if (!(x >= 0 && x <= width && y >= 0 && y <= height)) return std::nullopt;
    if (agg::is_move_to(cmd)) out.emplace_back();
    open = true;
    out.back().xy.push_back(agg::ras_conv_dbl::xi(x));
    out.back().xy.push_back(agg::ras_conv_dbl::yi(y));
  }
  for (Contour& c : out) {
    int x0 = c.xy[0], y0 = c.xy[1], x1 = x0, y1 = y0;
    for (std::size_t k = 2; k < c.xy.size(); k += 2) {
      x0 = std::min(x0, c.xy[k]);
      x1 = std::max(x1, c.xy[k]);
      y0 = std::min(y0, c.xy[k + 1]);
      y1 = std::max(y1, c.xy[k + 1]);
    }
    c.left = x0 >> kSubpixelShift;
    c.top = y0 >> kSubpixelShift;
    c.right = x1 >> kSubpixelShift;
    c.bottom = y1 >> kSubpixelShift;
  }
  return out;
}

bool boxes_meet(const Contour& a, const Contour& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// Contours grouped into pieces: those whose boxes meet, directly or through
// others, go together. Each piece lists its contours in path order.
std::vector<std::vector<std::size_t>> pieces_of(const std::vector<Contour>& contours) {
  std::vector<std::size_t> parent(contours.size());
  std::iota(parent.begin(), parent.end(), std::size_t{0});
  auto root = [&](std::size_t i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
  };
  std::vector<std::size_t> by_left(contours.size());
  std::iota(by_left.begin(), by_left.end(), std::size_t{0});
  std::sort(by_left.begin(), by_left.end(), [&](std::size_t a, std::size_t b) {
    return contours[a].left < contours[b].left;
  });
  for (std::size_t i = 0; i < by_left.size(); ++i) {
    const Contour& a = contours[by_left[i]];
    for (std::size_t j = i + 1; j < by_left.size() && contours[by_left[j]].left <= a.right; ++j) {
      if (boxes_meet(a, contours[by_left[j]])) parent[root(by_left[i])] = root(by_left[j]);
    }
  }
  std::vector<std::vector<std::size_t>> pieces;
  std::vector<std::size_t> piece_of_root(contours.size(), static_cast<std::size_t>(-1));
  for (std::size_t i = 0; i < contours.size(); ++i) {
    std::size_t& piece = piece_of_root[root(i)];
    if (piece == static_cast<std::size_t>(-1)) {
      piece = pieces.size();
      pieces.emplace_back();
    }
    pieces[piece].push_back(i);
  }
  return pieces;
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

PieceKey key_of(const std::vector<Contour>& contours, const std::vector<std::size_t>& piece, int left, int top) {
  PieceKey key;
  for (std::size_t i : piece) {
    const std::vector<int>& xy = contours[i].xy;
    key.push_back(static_cast<int>(xy.size()));
    for (std::size_t k = 0; k < xy.size(); k += 2) {
      key.push_back(xy[k] - (left << kSubpixelShift));
      key.push_back(xy[k + 1] - (top << kSubpixelShift));
    }
  }
  return key;
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
  std::optional<std::vector<Contour>> contours = contours_of(glyphs, width, height);
  if (!contours) return std::nullopt;
  CoverageCache& cache = thread_cache();
  cache.make_room();
  std::vector<PieceCoverage>& unkept = thread_unkept();
  unkept.clear();
  std::vector<std::vector<std::size_t>> pieces = pieces_of(*contours);
  unkept.reserve(pieces.size());  // pointers into it are handed out
  std::vector<PlacedCoverage> placed;
  placed.reserve(pieces.size());
  for (const std::vector<std::size_t>& piece : pieces) {
    int left = width, top = height, right = 0, bottom = 0;
    for (std::size_t i : piece) {
      const Contour& c = (*contours)[i];
      left = std::min(left, c.left);
      top = std::min(top, c.top);
      right = std::max(right, c.right);
      bottom = std::max(bottom, c.bottom);
    }
    PieceKey key = key_of(*contours, piece, left, top);
    const PieceCoverage* coverage = cache.find(key);
    if (!coverage) {
      const int w = right - left + 1, h = bottom - top + 1;
      PieceCoverage drawn = rasterize_piece(key, w, h);
      if (static_cast<long>(w) * h <= kMaxKeptPiecePixels) {
        coverage = cache.keep(std::move(key), std::move(drawn));
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
