#include "raster/source_sampler.h"

#include <algorithm>

namespace velmora::platform {
namespace {

// ceil(a / b) for b > 0 and any sign of a.
std::int64_t ceil_div(std::int64_t a, std::int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

constexpr std::uint32_t kWeightOne = 1u << 16;

// Bytes 0 and 2 (or 1 and 3, shift 8) of a word, 32 bits apart, so that
// one 64-bit product weighs two channels without their carries meeting.
std::uint64_t channel_pair(std::uint32_t word, int shift) {
  return ((word >> shift) & 0xFF) | (std::uint64_t{(word >> (shift + 16)) & 0xFF} << 32);
}

// Each byte of a and b mixed: a * (1 - w) + b * w, w in 1/65536, rounded.
// Each channel's sum stays below 2^24, inside its 32-bit lane.
std::uint32_t lerp_word(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
  constexpr std::uint64_t kHalf = (std::uint64_t{kWeightOne / 2} << 32) | (kWeightOne / 2);
  const std::uint64_t keep = kWeightOne - w;
  const std::uint64_t even = (channel_pair(a, 0) * keep + channel_pair(b, 0) * w + kHalf) >> 16;
  const std::uint64_t odd = (channel_pair(a, 8) * keep + channel_pair(b, 8) * w + kHalf) >> 16;
  return static_cast<std::uint32_t>((even & 0xFF) | ((odd & 0xFF) << 8) | (((even >> 32) & 0xFF) << 16) |
                                    (((odd >> 32) & 0xFF) << 24));
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

LerpAxis SourceSampler::lerp_column(AxisRange columns) const {
  const int from = source_.x + columns.lerp_from;
  const int width = source_.image->width;
  return {from, std::max(from, std::min({from + 1, source_.x + source_.width - 1, width - 1})), columns.lerp_weight,
          from >= 0 && from < width};
}

LerpAxis SourceSampler::lerp_row(AxisRange rows) const {
  const int from = source_.y + rows.lerp_from;
  const int height = source_.image->height;
  return {from, std::max(from, std::min({from + 1, source_.y + source_.height - 1, height - 1})), rows.lerp_weight,
          from >= 0 && from < height};
}

std::uint32_t SourceSampler::mix(const LerpAxis& column, const LerpAxis& row) const {
  const Image32& image = *source_.image;
  const std::uint32_t* from_row = image.pixels.data() + static_cast<std::size_t>(row.from) * image.width;
  if (column.weight == 0 && row.weight == 0) return from_row[column.from];
  const std::uint32_t* next_row = image.pixels.data() + static_cast<std::size_t>(row.next) * image.width;
  const std::uint32_t top = lerp_word(from_row[column.from], from_row[column.next], column.weight);
  const std::uint32_t bottom = lerp_word(next_row[column.from], next_row[column.next], column.weight);
  return lerp_word(top, bottom, row.weight);
}

std::optional<SourcePixel> SourceSampler::interpolate(AxisRange columns, AxisRange rows) const {
  const LerpAxis column = lerp_column(columns);
  const LerpAxis row = lerp_row(rows);
  if (!column.inside || !row.inside) return std::nullopt;
  return SourcePixel{column.from, row.from, mix(column, row)};
}

std::uint32_t SourceSampler::combine(int u0, int u1, int v0, int v1) const {
  const Image32& image = *source_.image;
  u0 = std::max(u0, 0);
  v0 = std::max(v0, 0);
  const bool keep_light = mode_ == WHITEONBLACK;
  std::uint32_t all = keep_light ? 0 : 0xFFFFFFFFu;
  for (int v = v0; v <= v1; ++v) {
    // One reduction over a row's stretch of words, which the compiler can widen.
    const std::uint32_t* row = image.pixels.data() + static_cast<std::size_t>(v) * image.width;
    if (keep_light) {
      for (int u = u0; u <= u1; ++u) all |= row[u];
    } else {
      for (int u = u0; u <= u1; ++u) all &= row[u];
    }
  }
  return all;
}

}  // namespace velmora::platform
