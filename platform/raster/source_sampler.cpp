#include "raster/source_sampler.h"

#include <algorithm>

namespace velmora::platform {
namespace {

// ceil(a / b) for b > 0 and any sign of a.
std::int64_t ceil_div(std::int64_t a, std::int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

constexpr std::uint32_t kWeightOne = 1u << 16;

// Each byte of a and b mixed: a * (1 - w) + b * w, w in 1/65536, rounded.
std::uint32_t lerp_word(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    // At most 255 * 65536: no overflow in 32 bits.
    const std::uint32_t mixed = ((a >> shift) & 0xFF) * (kWeightOne - w) + ((b >> shift) & 0xFF) * w;
    out |= ((mixed + kWeightOne / 2) >> 16) << shift;
  }
  return out;
}

}  // namespace

// With s = source / device: enlarging takes the pixel under the centre,
// ceil((i + 0.5) * s) - 1; shrinking takes the pixels j whose centres j + 0.5
// lie in [i * s, (i + 1) * s). Integer forms of both, exact at ties.
AxisRange AxisMap::at(std::int64_t index) const {
  const std::int64_t i = mirrored_ ? device_ - 1 - index : index;
  AxisRange range;
  if (device_ >= source_) {
    range.first = range.last = static_cast<int>(((2 * i + 1) * source_ - 1) / (2 * device_));
  } else {
    range.first = static_cast<int>(ceil_div(2 * i * source_ - device_, 2 * device_));
    range.last = static_cast<int>(ceil_div(2 * (i + 1) * source_ - device_, 2 * device_) - 1);
  }
  const std::int64_t scaled = i * source_;
  range.lerp_from = static_cast<int>(scaled / device_);
  range.lerp_weight = static_cast<std::uint32_t>(((scaled % device_) << 16) / device_);
  return range;
}

std::optional<SourcePixel> SourceSampler::sample(AxisRange columns, AxisRange rows) const {
  SourcePixel pixel;
  pixel.u = source_.x + columns.last;
  pixel.v = source_.y + rows.last;
  const Image32* image = source_.image;
  if (!image) return pixel;
  if (mode_ == HALFTONE) return interpolate(columns, rows);
  if (pixel.u < 0 || pixel.v < 0 || pixel.u >= image->width || pixel.v >= image->height) return std::nullopt;
  const bool group = columns.first != columns.last || rows.first != rows.last;
  pixel.color = group && (mode_ == BLACKONWHITE || mode_ == WHITEONBLACK)
                    ? combine(source_.x + columns.first, pixel.u, source_.y + rows.first, pixel.v)
                    : image->at(pixel.u, pixel.v);
  return pixel;
}

std::optional<SourcePixel> SourceSampler::interpolate(AxisRange columns, AxisRange rows) const {
  const Image32& image = *source_.image;
  SourcePixel pixel;
  pixel.u = source_.x + columns.lerp_from;
  pixel.v = source_.y + rows.lerp_from;
  if (pixel.u < 0 || pixel.v < 0 || pixel.u >= image.width || pixel.v >= image.height) return std::nullopt;
  // The next pixel, held at the edge of the source rectangle and the image.
  const int u1 = std::min({pixel.u + 1, source_.x + source_.width - 1, image.width - 1});
  const int v1 = std::min({pixel.v + 1, source_.y + source_.height - 1, image.height - 1});
  if (columns.lerp_weight == 0 && rows.lerp_weight == 0) {
    pixel.color = image.at(pixel.u, pixel.v);
    return pixel;
  }
  const std::uint32_t top = lerp_word(image.at(pixel.u, pixel.v), image.at(std::max(u1, pixel.u), pixel.v), columns.lerp_weight);
  const std::uint32_t bottom =
      lerp_word(image.at(pixel.u, std::max(v1, pixel.v)), image.at(std::max(u1, pixel.u), std::max(v1, pixel.v)), columns.lerp_weight);
  pixel.color = lerp_word(top, bottom, rows.lerp_weight);
  return pixel;
}

std::uint32_t SourceSampler::combine(int u0, int u1, int v0, int v1) const {
  const Image32& image = *source_.image;
  u0 = std::max(u0, 0);
  v0 = std::max(v0, 0);
  std::uint32_t all_and = 0xFFFFFFFFu, all_or = 0;
  for (int v = v0; v <= v1; ++v) {
    for (int u = u0; u <= u1; ++u) {
      const std::uint32_t word = image.at(u, v);
      all_and &= word;
      all_or |= word;
    }
  }
  return mode_ == WHITEONBLACK ? all_or : all_and;
}

}  // namespace velmora::platform
