#include "raster/pixel_writer.h"

#include "raster/pixel_word.h"
#include "raster/target.h"

#include <array>

namespace velmora::platform {
namespace {

constexpr std::uint32_t kColorMask = 0x00FFFFFF;
constexpr int kMaxRepeatedPeriod = 64;

std::uint32_t load(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void store(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

}  // namespace

std::uint32_t apply_rop2(int rop2, std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t p = src, d = dst;
  std::uint32_t out;
  switch (rop2) {
    case R2_BLACK:
      out = 0;
      break;
    case R2_NOTMERGEPEN:
      out = ~(d | p);
      break;
    case R2_MASKNOTPEN:
      out = d & ~p;
      break;
    case R2_NOTCOPYPEN:
      out = ~p;
      break;
    case R2_MASKPENNOT:
      out = p & ~d;
      break;
    case R2_NOT:
      out = ~d;
      break;
    case R2_XORPEN:
      out = d ^ p;
      break;
    case R2_NOTMASKPEN:
      out = ~(d & p);
      break;
    case R2_MASKPEN:
      out = d & p;
      break;
    case R2_NOTXORPEN:
      out = ~(d ^ p);
      break;
    case R2_NOP:
      out = d;
      break;
    case R2_MERGENOTPEN:
      out = d | ~p;
      break;
    case R2_MERGEPEN:
      out = d | p;
      break;
    case R2_MERGEPENNOT:
      out = p | ~d;
      break;
    case R2_WHITE:
      out = kColorMask;
      break;
    default:
      out = p;
      break;  // R2_COPYPEN and unknown values
  }
  return out & kColorMask;
}

void PixelWriter::span(int y, int x0, int x1, const BrushSource& source) {
  if (target_.empty() || source.paints_nothing() || rop2_ == R2_NOP) return;
  for_each_visible_run(target_, y, x0, x1, [&](int a, int b) { write_run(y, a, b, source); });
}

void PixelWriter::write_run(int y, int x0, int x1, const BrushSource& source) {
  std::uint8_t* p = target_.surface.pixel(x0, y);
  if (source.is_solid()) {
    const std::uint32_t color = source.solid_pixel();
    if (rop2_ == R2_COPYPEN) {
      fill_pixels(p, x1 - x0, color);
    } else {
      for (int x = x0; x < x1; ++x, p += 4) store(p, apply_rop2(rop2_, color, load(p)));
    }
    return;
  }
  // A hatch or a narrow tile repeats along the row: its colours are looked
  // up for one period and then reused.
  const int period = source.period();
  if (period < 1 || period > kMaxRepeatedPeriod || x1 - x0 <= period) {
    for (int x = x0; x < x1; ++x, p += 4) {
      const std::optional<std::uint32_t> color = source.at(x, y);
      if (color) store(p, apply_rop2(rop2_, *color, load(p)));
    }
    return;
  }
  std::array<std::optional<std::uint32_t>, kMaxRepeatedPeriod> colors;
  for (int i = 0; i < period; ++i) colors[i] = source.at(x0 + i, y);
  if (rop2_ == R2_COPYPEN) {
    for (int x = x0, i = 0; x < x1; ++x, p += 4) {
      if (colors[i]) store(p, *colors[i]);
      if (++i == period) i = 0;
    }
    return;
  }
  for (int x = x0, i = 0; x < x1; ++x, p += 4) {
    if (colors[i]) store(p, apply_rop2(rop2_, *colors[i], load(p)));
    if (++i == period) i = 0;
  }
}

void PixelWriter::pixel(int x, int y, std::uint32_t color) {
  if (target_.empty() || rop2_ == R2_NOP) return;
  for_each_visible_run(target_, y, x, x + 1, [&](int, int) {
    std::uint8_t* p = target_.surface.pixel(x, y);
    store(p, apply_rop2(rop2_, color, load(p)));
  });
}

}  // namespace velmora::platform
