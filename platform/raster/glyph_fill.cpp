#include "raster/glyph_fill.h"

#include "raster/glyph_coverage.h"

#include "raster/pixel_word.h"
#include "raster/scan_fill.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

namespace velmora::platform {
namespace {

// Measured from the platform's text: black on white at coverage c comes out
// as 255 * (1 - c)^(1 / 2.3), with c in steps of 1/16.
constexpr double kTextGamma = 2.3;
constexpr int kLinearSteps = 4096;  // resolution of the way back from the gamma space

struct GammaTables {
  std::array<double, 256> to_linear{};
  std::array<std::uint8_t, kLinearSteps + 1> from_linear{};

  GammaTables() {
    for (int v = 0; v < 256; ++v) to_linear[v] = std::pow(v / 255.0, kTextGamma);
    for (int i = 0; i <= kLinearSteps; ++i)
      from_linear[i] = static_cast<std::uint8_t>(std::lround(255.0 * std::pow(double(i) / kLinearSteps, 1.0 / kTextGamma)));
  }
};

const GammaTables& tables() {
  static const GammaTables t;
  return t;
}

std::uint8_t mix(std::uint8_t background, std::uint8_t foreground, double coverage) {
  const GammaTables& t = tables();
  const double linear = t.to_linear[background] * (1 - coverage) + t.to_linear[foreground] * coverage;
  return t.from_linear[static_cast<int>(std::lround(linear * kLinearSteps))];
}

// The mix of each channel of one foreground colour with any background
// byte at each coverage level, worked out the first time it is asked for.
class GlyphBlend {
 public:
  void reset(std::uint32_t foreground) {
    foreground_ = foreground;
    known_.fill(false);
    last_background_.fill(kNoBackground);
  }
  std::uint32_t foreground() const { return foreground_; }

  // 0x00RRGGBB pixels mixed channel by channel at coverage level / 16.
  // Text mostly lies on one background colour, so each level remembers its
  // last background and result.
  std::uint32_t operator()(std::uint32_t background, int level) {
    if (last_background_[level] == background) return last_result_[level];
    last_background_[level] = background;
    return last_result_[level] = mixed(background, level);
  }

 private:
  static constexpr std::size_t kEntries = 3 * (kCoverageLevels + 1) * 256;
  static constexpr std::uint32_t kNoBackground = 0xFF000000;  // never a 0x00RRGGBB pixel

  std::uint32_t mixed(std::uint32_t background, int level) {
    std::uint32_t out = 0;
    for (int channel = 0; channel < 3; ++channel) {
      const auto b = static_cast<std::uint8_t>(background >> (8 * channel));
      const std::size_t at = (static_cast<std::size_t>(channel) * (kCoverageLevels + 1) + level) * 256 + b;
      if (!known_[at]) {
        const auto f = static_cast<std::uint8_t>(foreground_ >> (8 * channel));
        mixed_[at] = mix(b, f, level / static_cast<double>(kCoverageLevels));
        known_[at] = true;
      }
      out |= static_cast<std::uint32_t>(mixed_[at]) << (8 * channel);
    }
    return out;
  }

  std::uint32_t foreground_ = 0;
  std::array<std::uint8_t, kEntries> mixed_{};
  std::array<bool, kEntries> known_{};
  std::array<std::uint32_t, kCoverageLevels + 1> last_background_{};
  std::array<std::uint32_t, kCoverageLevels + 1> last_result_{};
};

// The blends of the last few text colours drawn on this thread: pictures
// draw run after run of text in one or two colours, and a blend's table is
// many times the size of a short run's pixels.
class GlyphBlends {
 public:
  GlyphBlend& of(std::uint32_t foreground) {
    for (std::size_t i = 0; i < used_; ++i) {
      if (blends_[i].foreground() == foreground) return blends_[i];
    }
    GlyphBlend& blend = blends_[used_ < kKept ? used_++ : next_evicted_++ % kKept];
    blend.reset(foreground);
    return blend;
  }

 private:
  static constexpr std::size_t kKept = 4;
  std::array<GlyphBlend, kKept> blends_;
  std::size_t used_ = 0;
  std::size_t next_evicted_ = 0;
};

GlyphBlend& thread_blend(std::uint32_t foreground) {
  thread_local std::unique_ptr<GlyphBlends> blends = std::make_unique<GlyphBlends>();
  return blends->of(foreground);
}

void paint_pieces(const Target& target, const std::vector<PlacedCoverage>& pieces, GlyphBlend& blend) {
  for (const PlacedCoverage& piece : pieces) {
    const PieceCoverage& c = *piece.coverage;
    for (int row = 0; row < c.height; ++row) {
      const int y = piece.y + row;
      const std::uint8_t* levels = c.levels.data() + static_cast<std::size_t>(row) * c.width - piece.x;
      for_each_visible_run(target, y, piece.x, piece.x + c.width, [&](int x0, int x1) {
        std::uint8_t* p = target.surface.pixel(x0, y);
        for (int x = x0; x < x1; ++x, p += 4) {
          if (const int level = levels[x]; level > 0) store_pixel(p, blend(pixel_rgb(load_pixel(p)), level));
        }
      });
    }
  }
}

}  // namespace

void fill_glyphs_antialiased(const Target& target, agg::path_storage& glyphs, std::uint32_t color) {
  if (target.surface.empty()) return;
  if (const auto pieces = glyph_coverage(glyphs, target.surface.width, target.surface.height)) {
    paint_pieces(target, *pieces, thread_blend(color));
    return;
  }
  ScanTools& tools = scan_tools();
  ScanRasterizer& ras = tools.ras;
  if (!rasterize(ras, target.surface, glyphs, FillRule::NonZero)) return;
  GlyphBlend& blend = thread_blend(color);
  agg::scanline_u8& sl = tools.sl;
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    const int y = sl.y();
    auto span = sl.begin();
    for (unsigned n = sl.num_spans(); n > 0; --n, ++span) {
      for_each_visible_run(target, y, span->x, span->x + span->len, [&](int x0, int x1) {
        std::uint8_t* p = target.surface.pixel(x0, y);
        for (int x = x0; x < x1; ++x, p += 4) {
          const int level = coverage_level(span->covers[x - span->x]);
          if (level > 0) store_pixel(p, blend(pixel_rgb(load_pixel(p)), level));
        }
      });
    }
  }
}

}  // namespace velmora::platform
