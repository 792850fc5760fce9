// The part every blit shares: which device pixels a placement covers inside
// the clip, and which source pixel (or group of source pixels) each one
// takes. Internal to the blits; the per-pixel operation is a template
// argument so the inner loop stays direct.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "raster/blit.h"
#include "raster/pixel_word.h"
#include "raster/source_sampler.h"

namespace velmora::platform {

// The device pixels an axis placement covers: a negative extent mirrors and
// covers the pixels from x + width + 1 to x inclusive.
inline std::int64_t axis_left(const AxisPlacement& p) { return p.width > 0 ? p.x : std::int64_t{p.x} + p.width + 1; }
inline std::int64_t axis_top(const AxisPlacement& p) { return p.height > 0 ? p.y : std::int64_t{p.y} + p.height + 1; }
inline RECT axis_bounds(const AxisPlacement& p) {
  const std::int64_t left = axis_left(p), top = axis_top(p);
  auto clamp = [](std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
  return {clamp(left), clamp(top), clamp(left + std::abs(std::int64_t{p.width})),
          clamp(top + std::abs(std::int64_t{p.height}))};
}

// Every covered pixel of an axis placement set to one word: a blit whose
// result depends on neither the source nor the destination.
inline void fill_axis(const Target& target, const AxisPlacement& p, std::uint32_t word) {
  for_each_visible_rect(target, axis_bounds(p), [&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      fill_pixels(target.surface.pixel(r.left, y), r.right - r.left, word);
    }
  });
}

// Every covered pixel d of an axis placement set to (d & set) | (~d & clear):
// a blit whose source and pattern are each one colour, so that each bit of
// the result depends on the same bit of the destination alone.
inline void fill_axis_bitwise(const Target& target, const AxisPlacement& p, std::uint32_t set, std::uint32_t clear) {
  if (set == clear) {
    fill_axis(target, p, set);
    return;
  }
  for_each_visible_rect(target, axis_bounds(p), [&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      std::uint8_t* d = target.surface.pixel(r.left, y);
      for (LONG x = r.left; x < r.right; ++x, d += 4) {
        const std::uint32_t word = load_pixel(d);
        store_pixel(d, (word & set) | (~word & clear));
      }
    }
  });
}

// walk_axis when each destination pixel takes one source pixel: the source
// column of every destination column found once per rectangle, the source
// row once per row, and the pixels read straight from the row.
template <class Visit>
void walk_axis_direct(const Target& target, const RECT& bounds, std::int64_t left, std::int64_t top,
                      const AxisMap& x_map, const AxisMap& y_map, const BlitSource& source, Visit&& visit) {
  const Image32* image = source.image;
  std::vector<int> columns;  // source column of each destination column; -1 outside the image
  for_each_visible_rect(target, bounds, [&](const RECT& r) {
    columns.resize(static_cast<std::size_t>(r.right - r.left));
    for (LONG x = r.left; x < r.right; ++x) {
      const int u = source.x + x_map.at(x - left).last;
      columns[static_cast<std::size_t>(x - r.left)] = !image || (u >= 0 && u < image->width) ? u : -1;
    }
    for (LONG y = r.top; y < r.bottom; ++y) {
      const int v = source.y + y_map.at(y - top).last;
      if (image && (v < 0 || v >= image->height)) continue;
      const std::uint32_t* row = image ? image->pixels.data() + static_cast<std::size_t>(v) * image->width : nullptr;
      std::uint8_t* d = target.surface.pixel(r.left, y);
      for (LONG x = r.left; x < r.right; ++x, d += 4) {
        const int u = columns[static_cast<std::size_t>(x - r.left)];
        if (image && u < 0) continue;
        visit(d, x, y, SourcePixel{u, v, row ? row[u] : 0u});
      }
    }
  });
}

// walk_axis for HALFTONE: each column's and row's interpolation resolved
// once per rectangle, the pixels mixed straight from the image's rows.
template <class Visit>
void walk_axis_interpolated(const Target& target, const RECT& bounds, std::int64_t left, std::int64_t top,
                            const AxisMap& x_map, const AxisMap& y_map, const SourceSampler& sampler, Visit&& visit) {
  std::vector<LerpAxis> columns;
  for_each_visible_rect(target, bounds, [&](const RECT& r) {
    columns.resize(static_cast<std::size_t>(r.right - r.left));
    for (LONG x = r.left; x < r.right; ++x) columns[static_cast<std::size_t>(x - r.left)] = sampler.lerp_column(x_map.at(x - left));
    for (LONG y = r.top; y < r.bottom; ++y) {
      const LerpAxis row = sampler.lerp_row(y_map.at(y - top));
      if (!row.inside) continue;
      std::uint8_t* d = target.surface.pixel(r.left, y);
      for (LONG x = r.left; x < r.right; ++x, d += 4) {
        const LerpAxis& column = columns[static_cast<std::size_t>(x - r.left)];
        if (column.inside) visit(d, x, y, SourcePixel{column.from, row.from, sampler.mix(column, row)});
      }
    }
  });
}

// walk_axis for BLACKONWHITE and WHITEONBLACK when shrinking: the
// combination is taken down each source column of a destination row's rows
// first, once for the row, then across each destination pixel's columns.
template <class Visit>
void walk_axis_combined(const Target& target, const RECT& bounds, std::int64_t left, std::int64_t top,
                        const AxisMap& x_map, const AxisMap& y_map, const SourceSampler& sampler, Visit&& visit) {
  const BlitSource& source = sampler.source();
  const Image32& image = *source.image;
  std::vector<AxisRange> columns;
  std::vector<std::uint32_t> down;  // each source column combined over the row's rows, from column `first`
  for_each_visible_rect(target, bounds, [&](const RECT& r) {
    columns.resize(static_cast<std::size_t>(r.right - r.left));
    int first = image.width, last = -1;  // source columns any pixel of the rectangle reads
    for (LONG x = r.left; x < r.right; ++x) {
      const AxisRange c = x_map.at(x - left);
      columns[static_cast<std::size_t>(x - r.left)] = c;
      const int u1 = source.x + c.last;
      if (u1 < 0 || u1 >= image.width) continue;
      first = std::min(first, std::max(source.x + c.first, 0));
      last = std::max(last, u1);
    }
    if (last < first) return;
    down.resize(static_cast<std::size_t>(last - first + 1));
    for (LONG y = r.top; y < r.bottom; ++y) {
      const AxisRange rows = y_map.at(y - top);
      const int v1 = source.y + rows.last;
      if (v1 < 0 || v1 >= image.height) continue;
      std::fill(down.begin(), down.end(), sampler.combine_start());
      for (int v = std::max(source.y + rows.first, 0); v <= v1; ++v) {
        const std::uint32_t* row = image.pixels.data() + static_cast<std::size_t>(v) * image.width + first;
        for (std::size_t i = 0; i < down.size(); ++i) down[i] = sampler.combined(down[i], row[i]);
      }
      for (LONG x = r.left; x < r.right; ++x) {
        const AxisRange& c = columns[static_cast<std::size_t>(x - r.left)];
        const int u1 = source.x + c.last;
        if (u1 < 0 || u1 >= image.width) continue;
        std::uint32_t color = sampler.combine_start();
        for (int u = std::max(source.x + c.first, 0); u <= u1; ++u) color = sampler.combined(color, down[u - first]);
        visit(target.surface.pixel(x, y), x, y, SourcePixel{u1, v1, color});
      }
    }
  });
}

// visit(pixel pointer, device x, device y, SourcePixel) for every covered pixel.
template <class Visit>
void walk_axis(const Target& target, const AxisPlacement& p, const SourceSampler& sampler, Visit&& visit) {
  const std::int64_t left = axis_left(p);
  const std::int64_t top = axis_top(p);
  const std::int64_t width = std::abs(std::int64_t{p.width});
  const std::int64_t height = std::abs(std::int64_t{p.height});
  const RECT bounds = axis_bounds(p);
  const AxisMap x_map(sampler.source().width, width, p.width < 0);
  const AxisMap y_map(sampler.source().height, height, p.height < 0);
  const BlitSource& source = sampler.source();
  if (sampler.picks_directly(source.width > width, source.height > height)) {
    walk_axis_direct(target, bounds, left, top, x_map, y_map, source, visit);
    return;
  }
  if (sampler.interpolates()) {
    walk_axis_interpolated(target, bounds, left, top, x_map, y_map, sampler, visit);
    return;
  }
  walk_axis_combined(target, bounds, left, top, x_map, y_map, sampler, visit);
}

// The affine case takes, for each pixel centre, the source pixel under it
// (a centre on a pixel boundary takes the pixel before it, as the axis case
// does when it enlarges); no stretch mode applies.
template <class Visit>
void walk_affine(const Target& target, const AffinePlacement& p, const SourceSampler& sampler, Visit&& visit) {
  const double w = sampler.source().width;
  const double h = sampler.source().height;
  // device = origin + u * ex + v * ey, for (u, v) in the source rectangle
  const double ex_x = (p.top_right_x - p.top_left_x) / w, ex_y = (p.top_right_y - p.top_left_y) / w;
  const double ey_x = (p.bottom_left_x - p.top_left_x) / h, ey_y = (p.bottom_left_y - p.top_left_y) / h;
  const double det = ex_x * ey_y - ex_y * ey_x;
  if (!std::isfinite(det) || std::abs(det) < 1e-12) return;
  const double corners_x[4] = {p.top_left_x, p.top_right_x, p.bottom_left_x, p.top_right_x + p.bottom_left_x - p.top_left_x};
  const double corners_y[4] = {p.top_left_y, p.top_right_y, p.bottom_left_y, p.top_right_y + p.bottom_left_y - p.top_left_y};
  auto to_device = [](double v) { return static_cast<LONG>(std::clamp(v, -1e9, 1e9)); };
  const RECT bounds = {to_device(std::floor(*std::min_element(corners_x, corners_x + 4))),
                       to_device(std::floor(*std::min_element(corners_y, corners_y + 4))),
                       to_device(std::ceil(*std::max_element(corners_x, corners_x + 4))),
                       to_device(std::ceil(*std::max_element(corners_y, corners_y + 4)))};
  for_each_visible_rect(target, bounds, [&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) {
        const double dx = x + 0.5 - p.top_left_x, dy = y + 0.5 - p.top_left_y;
        const double u = (dx * ey_y - dy * ey_x) / det;
        const double v = (dy * ex_x - dx * ex_y) / det;
        if (!(u > 0 && u <= w && v > 0 && v <= h)) continue;
        const AxisRange column = AxisRange::single(static_cast<int>(std::ceil(u)) - 1);
        const AxisRange row = AxisRange::single(static_cast<int>(std::ceil(v)) - 1);
        if (auto sample = sampler.sample(column, row)) visit(target.surface.pixel(x, y), x, y, *sample);
      }
    }
  });
}

template <class Visit>
void walk_placement(const Target& target, const Placement& placement, const SourceSampler& sampler,
                    Visit&& visit) {
  if (const auto* axis = std::get_if<AxisPlacement>(&placement)) {
    walk_axis(target, *axis, sampler, visit);
  } else {
    walk_affine(target, std::get<AffinePlacement>(placement), sampler, visit);
  }
}

}  // namespace velmora::platform
