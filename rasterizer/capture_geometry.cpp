#include "capture_geometry.h"

#include <cmath>
#include <utility>

namespace velmora::core {
namespace {

// One axis of the crop window: ascending, then clamped one bound at a time.
// Equal or unordered (NaN) bounds are left as they are.
std::pair<double, double> normalize_axis(double low, double high) {
  if (low > high) std::swap(low, high);
  if (low < 0.0) low = 0.0;
  if (high > 1.0) high = 1.0;
  return {low, high};
}

// trunc(value) + 1 as a playback coordinate, or nothing when it lies beyond
// the coordinate limit (or is not a number).
std::optional<LONG> playback_coordinate(double value) {
  if (!(std::fabs(value) <= kMaxPlaybackCoordinate)) return std::nullopt;
  return static_cast<LONG>(std::trunc(value)) + 1;
}

// The sides of a target, or nothing when one is empty, inverted or too large.
// Computed in 64 bits: right - left + 1 may not fit in 32.
std::optional<std::pair<int, int>> target_size(const RECT& target) {
  const std::int64_t width = std::int64_t{target.right} - target.left + 1;
  const std::int64_t height = std::int64_t{target.bottom} - target.top + 1;
  if (width <= 0 || height <= 0) return std::nullopt;
  if (width > kMaxTargetSide || height > kMaxTargetSide) return std::nullopt;
  const std::int64_t bytes = 4 * (2 * width + 2) * (2 * height + 2);
  if (bytes > kMaxBitmapBytes) return std::nullopt;
  return std::pair{static_cast<int>(width), static_cast<int>(height)};
}

// The whole picture placed so that the crop window fills 2W x 2H capture
// pixels, shifted by the one-pixel frame. The division comes before the
// multiplication, and the sides are used as doubles.
std::optional<RECT> playback_rect(const CropWindow& crop, int width, int height) {
  const double dx = crop.x1 - crop.x0;
  const double dy = crop.y1 - crop.y0;
  const double span_x = 2.0 * width;
  const double span_y = 2.0 * height;
  const auto left = playback_coordinate(-(crop.x0 / dx) * span_x);
  const auto top = playback_coordinate(-(crop.y0 / dy) * span_y);
  const auto right = playback_coordinate(((1.0 - crop.x0) / dx) * span_x);
  const auto bottom = playback_coordinate(((1.0 - crop.y0) / dy) * span_y);
  if (!left || !top || !right || !bottom) return std::nullopt;
  return RECT{*left, *top, *right, *bottom};
}

}  // namespace

std::optional<CropWindow> normalize_crop(double left, double top, double right, double bottom) {
  const auto [x0, x1] = normalize_axis(left, right);
  const auto [y0, y1] = normalize_axis(top, bottom);
  // Also false for NaN: such a window would divide by zero, turn the
  // playback rectangle inside out or place it nowhere.
  if (!(x1 - x0 > 0.0) || !(y1 - y0 > 0.0)) return std::nullopt;
  return CropWindow{x0, y0, x1, y1};
}

std::optional<CaptureGeometry> plan_capture(const RECT& target, const CropWindow& crop) {
  const auto size = target_size(target);
  if (!size) return std::nullopt;
  const auto [width, height] = *size;
  const auto playback = playback_rect(crop, width, height);
  if (!playback) return std::nullopt;
  return CaptureGeometry{width, height, 2 * width + 2, 2 * height + 2, *playback};
}

std::size_t bitmap_bytes(const CaptureGeometry& geometry) {
  return std::size_t{4} * static_cast<std::size_t>(geometry.capture_width) *
         static_cast<std::size_t>(geometry.capture_height);
}

}  // namespace velmora::core
