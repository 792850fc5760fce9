// The numbers of one Velmora call, settled before any object is made: the
// target and capture sizes, the normalised crop window and the rectangle the
// picture is played into. Pure functions; a refusal (empty optional) means
// the call draws nothing and returns 0.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmora::core {

// Sides of the target, in pixels. The capture is twice as large plus a
// one-pixel frame, and AGG addresses capture points in 1/256-pixel ints:
// at this side a turned capture point stays below 2^29 of them, well inside
// 32 bits.
inline constexpr std::int64_t kMaxTargetSide = std::int64_t{1} << 18;

// Bytes of one 32-bit bitmap. AGG finds a row at row * stride in int
// arithmetic, so the whole bitmap must stay below 2^31 bytes; two of these
// are the most one call holds.
inline constexpr std::int64_t kMaxBitmapBytes = std::int64_t{1} << 30;

// Logical coordinates the platform's drawing accepts, as GDI documents
// for world and page space (2^27); the playback rectangle stays inside.
inline constexpr double kMaxPlaybackCoordinate = double{1 << 27};

// The crop window in ascending order and clamped to [0, 1] one bound at a time.
struct CropWindow {
  double x0 = 0.0;
  double y0 = 0.0;
  double x1 = 1.0;
  double y1 = 1.0;
};

struct CaptureGeometry {
  int width = 0;           // W: target width, right and bottom inclusive
  int height = 0;          // H
  int capture_width = 0;   // CW = 2W + 2
  int capture_height = 0;  // CH = 2H + 2
  RECT playback{};         // where the whole picture goes, in capture pixels
};

// Swaps each pair into ascending order, then raises the lower bounds to 0 and
// lowers the upper bounds to 1. Refuses a window whose width or height comes
// out zero, negative or not a number.
std::optional<CropWindow> normalize_crop(double left, double top, double right, double bottom);

// Refuses an empty or inverted target, one beyond the size limits, and a crop
// window so small that the playback rectangle leaves the coordinate limit.
std::optional<CaptureGeometry> plan_capture(const RECT& target, const CropWindow& crop);

// Bytes of one bitmap of the capture's size: 4 * CW * CH.
std::size_t bitmap_bytes(const CaptureGeometry& geometry);

}  // namespace velmora::core
