// Which source pixels a destination pixel takes when a blit stretches or
// shrinks, and the colour they give under the stretch mode.
//
// Along each axis, as the reference player maps them: when enlarging, a
// destination pixel takes the source pixel under its centre (a centre on a
// boundary takes the pixel before it); when shrinking, it takes the group of
// source pixels whose centres fall inside it, and COLORONCOLOR keeps the
// group's last pixel, BLACKONWHITE ANDs the group and WHITEONBLACK ORs it.
// HALFTONE instead interpolates linearly between the two source pixels
// around i * source / device, the destination pixel's index scaled (not its
// centre), whether enlarging or shrinking.
#pragma once

#include <cstdint>
#include <optional>

#include "raster/blit.h"

namespace velmora::platform {

// Source offsets [first, last] within the source rectangle; `last` is the
// pick. For HALFTONE, the pixel at `lerp_from` mixes with the next one by
// `lerp_weight` / 65536.
struct AxisRange {
  int first = 0;
  int last = 0;
  int lerp_from = 0;
  std::uint32_t lerp_weight = 0;
  static AxisRange single(int offset) { return {offset, offset, offset, 0}; }
};

class AxisMap {
 public:
  AxisMap(int source_length, std::int64_t device_length, bool mirrored)
      : source_(source_length), device_(device_length), mirrored_(mirrored) {}
  // The source range for the destination pixel `index` pixels from the start.
  AxisRange at(std::int64_t index) const;

 private:
  std::int64_t source_;
  std::int64_t device_;
  bool mirrored_;
};

// One axis of a HALFTONE sample: the source pixel `from` in image
// coordinates, the one it mixes with (held at the edge of the source
// rectangle and the image), and the weight of that one in 1/65536.
struct LerpAxis {
  int from = 0;
  int next = 0;
  std::uint32_t weight = 0;
  bool inside = false;  // `from` lies in the image
};

struct SourcePixel {
  int u = 0;  // the source pixel, in image coordinates
  int v = 0;
  std::uint32_t color = 0;  // 0 when the blit has no source image
};

class SourceSampler {
 public:
  SourceSampler(const BlitSource& source, int stretch_mode) : source_(source), mode_(stretch_mode) {}
  const BlitSource& source() const { return source_; }
  // Whether groups of source pixels are combined (BLACKONWHITE keeps the
  // darkest bits by AND, WHITEONBLACK the lightest by OR), and the
  // combination's starting word and step.
  bool keeps_light() const { return mode_ == WHITEONBLACK; }
  std::uint32_t combine_start() const { return keeps_light() ? 0u : 0xFFFFFFFFu; }
  std::uint32_t combined(std::uint32_t a, std::uint32_t b) const { return keeps_light() ? a | b : a & b; }
  // Empty when the picked pixel lies outside the image (the source rectangle
  // may reach past it; those destination pixels are left alone).
  std::optional<SourcePixel> sample(AxisRange columns, AxisRange rows) const;
  // Whether every destination pixel takes just the picked source pixel
  // (no interpolation, no AND or OR of a group), given whether the blit
  // shrinks across and down: then sample() is a plain look-up.
  bool picks_directly(bool shrinks_x, bool shrinks_y) const {
    if (!source_.image) return true;
    if (mode_ == HALFTONE) return false;
    return !((shrinks_x || shrinks_y) && (mode_ == BLACKONWHITE || mode_ == WHITEONBLACK));
  }
  // Whether sample() interpolates (HALFTONE with a source image); then
  // lerp_column, lerp_row and mix give what it gives, resolved per axis.
  bool interpolates() const { return source_.image && mode_ == HALFTONE; }
  LerpAxis lerp_column(AxisRange columns) const;
  LerpAxis lerp_row(AxisRange rows) const;
  // The colour at a column and row that are both inside.
  std::uint32_t mix(const LerpAxis& column, const LerpAxis& row) const;

 private:
  std::uint32_t combine(int u0, int u1, int v0, int v1) const;
  std::optional<SourcePixel> interpolate(AxisRange columns, AxisRange rows) const;

  const BlitSource& source_;
  int mode_;
};

}  // namespace velmora::platform
