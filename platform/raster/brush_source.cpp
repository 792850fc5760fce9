#include "raster/brush_source.h"

#include "raster/pixel_writer.h"

namespace velmora::platform {
namespace {

// Whether hatch cell (x, y), both 0..7 from the brush origin, is on a hatch
// line. Lines cross the cell's middle; diagonals run corner to corner.
bool on_hatch(ULONG hatch, int x, int y) {
  constexpr int kMiddle = 3;
  switch (hatch) {
    case HS_HORIZONTAL:
      return y == kMiddle;
    case HS_VERTICAL:
      return x == kMiddle + 1;
    case HS_FDIAGONAL:
      return x == y;  // "\": down to the right
    case HS_BDIAGONAL:
      return x + y == 7;  // "/": up to the right
    case HS_CROSS:
      return y == kMiddle || x == kMiddle + 1;
    case HS_DIAGCROSS:
      return x == y || x + y == 7;
    default:
      return false;
  }
}

int wrap(int v, int period) {
  const int m = v % period;
  return m < 0 ? m + period : m;
}

}  // namespace

BrushSource::BrushSource(const BrushTraits& brush, const DcState& state)
    : foreground_(pixel_of(resolve_color(brush.color, state.palette))),
      background_(pixel_of(resolve_color(state.bk_color, state.palette))),
      opaque_background_(state.bk_mode == OPAQUE),
      hatch_(brush.hatch),
      origin_(state.brush_origin) {
  switch (brush.style) {
    case BS_SOLID:
      kind_ = Kind::Solid;
      break;
    case BS_HATCHED:
      kind_ = brush.hatch <= HS_DIAGCROSS ? Kind::Hatch : Kind::Solid;
      break;
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
      if (brush.pattern && !brush.pattern->empty()) {
        kind_ = Kind::Pattern;
        pattern_ = brush.pattern;
        monochrome_ = brush.monochrome;
        foreground_ = pixel_of(resolve_color(state.text_color, state.palette));
      } else {
        kind_ = Kind::Nothing;
      }
      break;
    default:
      kind_ = Kind::Nothing;
      break;
  }
}

BrushSource BrushSource::solid(std::uint32_t pixel) {
  BrushSource source;
  source.kind_ = Kind::Solid;
  source.foreground_ = pixel & 0x00FFFFFF;
  return source;
}

std::optional<std::uint32_t> BrushSource::at(int x, int y) const {
  switch (kind_) {
    case Kind::Solid:
      return foreground_;
    case Kind::Hatch:
      return hatch_at(x, y);
    case Kind::Pattern:
      return pattern_at(x, y);
    default:
      return std::nullopt;
  }
}

std::optional<std::uint32_t> BrushSource::hatch_at(int x, int y) const {
  if (on_hatch(hatch_, wrap(x - origin_.x, 8), wrap(y - origin_.y, 8))) return foreground_;
  if (opaque_background_) return background_;
  return std::nullopt;
}

std::optional<std::uint32_t> BrushSource::pattern_at(int x, int y) const {
  const std::uint32_t texel = pattern_->at(wrap(x - origin_.x, pattern_->width), wrap(y - origin_.y, pattern_->height));
  if (!monochrome_) return texel & 0x00FFFFFF;
  return (texel & 0x00FFFFFF) == 0 ? foreground_ : background_;
}

}  // namespace velmora::platform
