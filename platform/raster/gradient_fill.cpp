#include "raster/gradient_fill.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/limits.h"
#include "raster/blit_walk.h"
#include "raster/pixel_word.h"

namespace velmora::platform {
namespace {

constexpr auto kCoordinateLimit = limits::kMaxLongCoordinate;

LONG device_coordinate(double v) { return static_cast<LONG>(std::lround(std::clamp(v, -kCoordinateLimit, kCoordinateLimit))); }

std::uint32_t vertex_pixel(std::int64_t r, std::int64_t g, std::int64_t b, std::int64_t a) {
  auto byte = [](std::int64_t v) { return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, 0xFFFF) >> 8); };
  return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

// Channel value `step` pixels from the first vertex of a ramp `length` long.
std::int64_t ramp(std::uint16_t from, std::uint16_t to, std::int64_t step, std::int64_t length) {
  return from + (std::int64_t{to} - from) * step / length;
}

std::uint32_t ramp_pixel(const GradientVertex& from, const GradientVertex& to, std::int64_t step, std::int64_t length) {
  return vertex_pixel(ramp(from.red, to.red, step, length), ramp(from.green, to.green, step, length),
                      ramp(from.blue, to.blue, step, length), ramp(from.alpha, to.alpha, step, length));
}

struct Barycentric {
  double wa, wb, wc;
};

// Truncated, as the reference player's fixed-point arithmetic does; the small
// bias keeps exact values from falling just below themselves.
std::int64_t mix(const Barycentric& w, std::uint16_t a, std::uint16_t b, std::uint16_t c) {
  return static_cast<std::int64_t>(std::floor(w.wa * a + w.wb * b + w.wc * c + 1e-6));
}

Barycentric weights_at(const GradientVertex& a, const GradientVertex& b, const GradientVertex& c, double area,
                       double px, double py) {
  return {((b.x - px) * (c.y - py) - (c.x - px) * (b.y - py)) / area,
          ((c.x - px) * (a.y - py) - (a.x - px) * (c.y - py)) / area,
          ((a.x - px) * (b.y - py) - (b.x - px) * (a.y - py)) / area};
}

}  // namespace

void gradient_fill_rect(const Target& target, const GradientVertex& a, const GradientVertex& b, bool vertical) {
  const bool a_first = vertical ? a.y <= b.y : a.x <= b.x;
  const GradientVertex& from = a_first ? a : b;
  const GradientVertex& to = a_first ? b : a;
  const RECT bounds = {device_coordinate(std::min(a.x, b.x)), device_coordinate(std::min(a.y, b.y)),
                       device_coordinate(std::max(a.x, b.x)), device_coordinate(std::max(a.y, b.y))};
  const std::int64_t start = vertical ? bounds.top : bounds.left;
  const std::int64_t length = vertical ? std::int64_t{bounds.bottom} - bounds.top : std::int64_t{bounds.right} - bounds.left;
  if (length <= 0) return;
  for_each_visible_rect(target, bounds, [&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x)
        store_pixel(target.surface.pixel(x, y), ramp_pixel(from, to, (vertical ? y : x) - start, length));
    }
  });
}

void gradient_fill_triangle(const Target& target, const GradientVertex& a, const GradientVertex& b,
                            const GradientVertex& c) {
  const double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
  if (!std::isfinite(area) || std::abs(area) < 1e-9) return;
  const RECT bounds = {device_coordinate(std::floor(std::min({a.x, b.x, c.x}))),
                       device_coordinate(std::floor(std::min({a.y, b.y, c.y}))),
                       device_coordinate(std::ceil(std::max({a.x, b.x, c.x}))),
                       device_coordinate(std::ceil(std::max({a.y, b.y, c.y})))};
  for_each_visible_rect(target, bounds, [&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) {
        const Barycentric inside = weights_at(a, b, c, area, x + 0.5, y + 0.5);
        if (inside.wa < 0 || inside.wb < 0 || inside.wc < 0) continue;
        const Barycentric w = weights_at(a, b, c, area, x, y);
        store_pixel(target.surface.pixel(x, y), vertex_pixel(mix(w, a.red, b.red, c.red), mix(w, a.green, b.green, c.green),
                                                             mix(w, a.blue, b.blue, c.blue), mix(w, a.alpha, b.alpha, c.alpha)));
      }
    }
  });
}

}  // namespace velmora::platform
