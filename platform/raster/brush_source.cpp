#include "raster/brush_source.h"


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

BrushSource BrushSource::solid(std::uint32_t pixel) {
  BrushSource source;
  source.kind_ = Kind::Solid;
  source.foreground_ = pixel & 0x00FFFFFF;
  return source;
}

BrushSource BrushSource::hatch(ULONG hatch, std::uint32_t foreground, std::optional<std::uint32_t> background,
                               POINT origin) {
  BrushSource source = solid(foreground);
  if (hatch > HS_DIAGCROSS) return source;
  source.kind_ = Kind::Hatch;
  source.hatch_ = hatch;
  source.background_ = background.value_or(0) & 0x00FFFFFF;
  source.opaque_background_ = background.has_value();
  source.origin_ = origin;
  return source;
}

BrushSource BrushSource::pattern(std::shared_ptr<const Image32> tile, bool monochrome, std::uint32_t foreground,
                                 std::uint32_t background, POINT origin) {
  BrushSource source;
  if (!tile || tile->empty()) return source;
  source.kind_ = Kind::Pattern;
  source.pattern_ = std::move(tile);
  source.monochrome_ = monochrome;
  source.foreground_ = foreground & 0x00FFFFFF;
  source.background_ = background & 0x00FFFFFF;
  source.origin_ = origin;
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

int BrushSource::period() const {
  switch (kind_) {
    case Kind::Hatch:
      return 8;
    case Kind::Pattern:
      return pattern_->width;
    default:
      return 1;
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
