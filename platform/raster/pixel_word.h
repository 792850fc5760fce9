// Pixel words: a 32-bit surface pixel read as a little-endian uint32 is
// 0xAARRGGBB (bytes B, G, R, A in memory). Raster operations and blends work
// on whole words, the fourth byte included, as the reference player does:
// colours that come from the DC (brushes, text and background colours) carry
// a fourth byte of 0, so drawing them writes 0 there.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velmora::platform {

// A colour as it sits in a 32-bit pixel (0x00RRGGBB: bytes B, G, R, 0).
constexpr std::uint32_t pixel_of(COLORREF color) {
  return (std::uint32_t{GetRValue(color)} << 16) | (std::uint32_t{GetGValue(color)} << 8) | GetBValue(color);
}

constexpr std::uint32_t pixel_rgb(std::uint32_t pixel) { return pixel & 0x00FFFFFFu; }
constexpr std::uint32_t pixel_channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

// v / 255 rounded to nearest, for v in [0, 255 * 255 + 255].
constexpr std::uint32_t div255(std::uint32_t v) { return (v + 128 + ((v + 128) >> 8)) >> 8; }

inline std::uint32_t load_pixel(const std::uint8_t* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline void store_pixel(std::uint8_t* p, std::uint32_t word) { std::memcpy(p, &word, sizeof word); }

// `count` pixels from p set to one word. Long runs copy their filled start
// over the rest, which moves many pixels a step where a loop stores one.
inline void fill_pixels(std::uint8_t* p, std::ptrdiff_t count, std::uint32_t word) {
  constexpr std::ptrdiff_t kShortRun = 16;
  const std::ptrdiff_t start = count < kShortRun ? count : kShortRun;
  for (std::ptrdiff_t i = 0; i < start; ++i) store_pixel(p + 4 * i, word);
  for (std::ptrdiff_t done = start; done < count;) {
    const std::ptrdiff_t n = done < count - done ? done : count - done;
    std::memcpy(p + 4 * done, p, static_cast<std::size_t>(4 * n));
    done += n;
  }
}

}  // namespace velmora::platform
