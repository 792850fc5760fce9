// The limits of velmora-render, each with its reason.
#pragma once

#include <cstdint>

namespace velmora::render {

// The library draws targets up to 2^18 pixels a side.
inline constexpr int kMaxSide = 1 << 18;

// The anti-aliased rendering holds a capture of (2W + 2) x (2H + 2) 32-bit
// pixels, which the library keeps within 1 GiB; the tool refuses larger
// outputs itself, so that the reason can be told ("too large for memory").
inline constexpr std::int64_t kMaxCaptureBytes = std::int64_t{1} << 30;

// Resolutions a picture's own size is taken at: a 1 mm picture at the
// highest still fits the side limit many times over.
inline constexpr double kMinDpi = 1.0;
inline constexpr double kMaxDpi = 10000.0;

// Turns beyond a few full circles add nothing but rounding error.
inline constexpr double kMaxAngle = 3600.0;

inline constexpr int kMaxRepeat = 10000;
inline constexpr int kMaxJobs = 256;

// Metafiles are read whole; the library's sizes are 32-bit.
inline constexpr std::uint64_t kMaxFileBytes = 0xFFFFFFFFu;

}  // namespace velmora::render
