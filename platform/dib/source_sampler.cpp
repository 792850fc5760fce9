#include "dib/source_sampler.h"

#include <algorithm>

namespace velmora::platform {
namespace {

// ceil(a / b) for b > 0 and any sign of a.
std::int64_t ceil_div(std::int64_t a, std::int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

std::uint32_t average(const std::uint64_t sums[4], std::uint64_t count) {
  std::uint32_t word = 0;
  for (int c = 0; c < 4; ++c) word |= static_cast<std::uint32_t>((sums[c] + count / 2) / count) << (8 * c);
  return word;
}

}  // namespace

// With s = source / device: enlarging takes the pixel under the centre,
// ceil((i + 0.5) * s) - 1; shrinking takes the pixels j whose centres j + 0.5
// lie in [i * s, (i + 1) * s). Integer forms of both, exact at ties.
AxisRange AxisMap::at(std::int64_t index) const {
  const std::int64_t i = mirrored_ ? device_ - 1 - index : index;
  if (device_ >= source_) {
    const std::int64_t pick = ((2 * i + 1) * source_ - 1) / (2 * device_);
    return AxisRange::single(static_cast<int>(pick));
  }
  const std::int64_t first = ceil_div(2 * i * source_ - device_, 2 * device_);
  const std::int64_t last = ceil_div(2 * (i + 1) * source_ - device_, 2 * device_) - 1;
  return {static_cast<int>(first), static_cast<int>(last)};
}

std::optional<SourcePixel> SourceSampler::sample(AxisRange columns, AxisRange rows) const {
  SourcePixel pixel;
  pixel.u = source_.x + columns.last;
  pixel.v = source_.y + rows.last;
  const Image32* image = source_.image;
  if (!image) return pixel;
  if (pixel.u < 0 || pixel.v < 0 || pixel.u >= image->width || pixel.v >= image->height) return std::nullopt;
  const bool group = columns.first != columns.last || rows.first != rows.last;
  pixel.color = group && mode_ != COLORONCOLOR
                    ? combine(source_.x + columns.first, pixel.u, source_.y + rows.first, pixel.v)
                    : image->at(pixel.u, pixel.v);
  return pixel;
}

std::uint32_t SourceSampler::combine(int u0, int u1, int v0, int v1) const {
  const Image32& image = *source_.image;
  u0 = std::max(u0, 0);
  v0 = std::max(v0, 0);
  std::uint32_t all_and = 0xFFFFFFFFu, all_or = 0;
  std::uint64_t sums[4] = {0, 0, 0, 0};
  for (int v = v0; v <= v1; ++v) {
    for (int u = u0; u <= u1; ++u) {
      const std::uint32_t word = image.at(u, v);
      all_and &= word;
      all_or |= word;
      for (int c = 0; c < 4; ++c) sums[c] += (word >> (8 * c)) & 0xFF;
    }
  }
  switch (mode_) {
    case WHITEONBLACK: return all_or;
    case HALFTONE: return average(sums, static_cast<std::uint64_t>(u1 - u0 + 1) * (v1 - v0 + 1));
    default: return all_and;  // BLACKONWHITE, and any unknown mode as the DC's default
  }
}

}  // namespace velmora::platform
