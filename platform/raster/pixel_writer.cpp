#include "raster/pixel_writer.h"

#include "raster/clip_runs.h"

namespace velmora::platform {
namespace {

constexpr std::uint32_t kColorMask = 0x00FFFFFF;

std::uint32_t load(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void store(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

std::uint32_t blend_channel(std::uint32_t s, std::uint32_t d, std::uint32_t cover) {
  const std::uint32_t t = s * cover + d * (255 - cover) + 128;
  return (t + (t >> 8)) >> 8;
}

}  // namespace

std::uint32_t pixel_of(COLORREF color) { return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color); }

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

PixelWriter::PixelWriter(const DeviceContext& dc, int rop2)
    : surface_(dc.surface()), clip_(dc.state().clip ? &*dc.state().clip : nullptr), rop2_(rop2) {}

void PixelWriter::span(int y, int x0, int x1, const BrushSource& source) {
  if (surface_.empty() || source.paints_nothing() || rop2_ == R2_NOP) return;
  for_each_visible_run(surface_, clip_, y, x0, x1, [&](int a, int b) { write_run(y, a, b, source); });
}

void PixelWriter::write_run(int y, int x0, int x1, const BrushSource& source) {
  std::uint8_t* p = surface_.pixel(x0, y);
  if (source.is_solid() && rop2_ == R2_COPYPEN) {
    const std::uint32_t color = source.solid_pixel();
    for (int x = x0; x < x1; ++x, p += 4) store(p, color);
    return;
  }
  for (int x = x0; x < x1; ++x, p += 4) {
    const std::optional<std::uint32_t> color = source.at(x, y);
    if (color) store(p, apply_rop2(rop2_, *color, load(p)));
  }
}

void PixelWriter::pixel(int x, int y, std::uint32_t color) {
  if (surface_.empty() || rop2_ == R2_NOP) return;
  for_each_visible_run(surface_, clip_, y, x, x + 1, [&](int, int) {
    std::uint8_t* p = surface_.pixel(x, y);
    store(p, apply_rop2(rop2_, color, load(p)));
  });
}

void PixelWriter::blend_span(int y, int x0, int len, std::uint32_t color, const std::uint8_t* covers) {
  if (surface_.empty()) return;
  for_each_visible_run(surface_, clip_, y, x0, x0 + len, [&](int a, int b) {
    std::uint8_t* p = surface_.pixel(a, y);
    for (int x = a; x < b; ++x, p += 4) {
      const std::uint32_t cover = covers[x - x0];
      if (cover == 0) continue;
      const std::uint32_t d = load(p);
      std::uint32_t out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        out |= blend_channel((color >> shift) & 0xFF, (d >> shift) & 0xFF, cover) << shift;
      }
      store(p, out);
    }
  });
}

}  // namespace velmora::platform
