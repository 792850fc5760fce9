#include "raster/glyph_fill.h"

#include "raster/pixel_writer.h"
#include "raster/scan_fill.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace velmora::platform {
namespace {

// Measured from the platform's text: black on white at coverage c comes out
// as 255 * (1 - c)^(1 / 2.3), with c in steps of 1/16.
constexpr double kTextGamma = 2.3;
constexpr int kCoverageLevels = 16;
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

// 0x00RRGGBB pixels mixed channel by channel.
std::uint32_t blend(std::uint32_t background, std::uint32_t foreground, double coverage) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const auto b = static_cast<std::uint8_t>(background >> shift);
    const auto f = static_cast<std::uint8_t>(foreground >> shift);
    out |= static_cast<std::uint32_t>(mix(b, f, coverage)) << shift;
  }
  return out;
}

double quantised(std::uint8_t cover) {
  return std::lround(cover * kCoverageLevels / 255.0) / static_cast<double>(kCoverageLevels);
}

std::uint32_t pixel_at(const Surface& surface, int x, int y) {
  const std::uint8_t* p = surface.pixel(x, y);
  return p[0] | (p[1] << 8) | (p[2] << 16);
}

}  // namespace

void fill_glyphs_antialiased(const Target& target, agg::path_storage& glyphs, std::uint32_t color) {
  ScanRasterizer ras;
  if (!rasterize(ras, target.surface, glyphs, FillRule::NonZero)) return;
  PixelWriter writer(target, R2_COPYPEN);
  const Surface& surface = target.surface;
  const std::uint32_t foreground = color;
  agg::scanline_u8 sl;
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    const int y = sl.y();
    if (y < 0 || y >= surface.height) continue;
    auto span = sl.begin();
    for (unsigned n = sl.num_spans(); n > 0; --n, ++span) {
      for (int i = 0; i < span->len; ++i) {
        const int x = span->x + i;
        const double coverage = quantised(span->covers[i]);
        if (coverage <= 0 || x < 0 || x >= surface.width) continue;
        writer.pixel(x, y, blend(pixel_at(surface, x, y), foreground, coverage));
      }
    }
  }
}

}  // namespace velmora::platform
