// The colour a brush gives each device pixel: solid, hatched (8x8 hatches
// aligned to the brush origin, with a background or without one) or a tiled
// pattern image. Colours arrive resolved, as pixel words (0x00RRGGBB).
#pragma once

#include "raster/image.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace velmora::platform {

class BrushSource {
 public:
  // Paints nothing.
  BrushSource() = default;
  // One colour everywhere.
  static BrushSource solid(std::uint32_t pixel);
  // An HS_* hatch in `foreground` over `background` (none: left alone),
  // aligned to `origin`; an unknown hatch paints solid.
  static BrushSource hatch(ULONG hatch, std::uint32_t foreground, std::optional<std::uint32_t> background,
                           POINT origin);
  // A tile repeated from `origin`. A monochrome tile paints `foreground`
  // where its pixel is black and `background` elsewhere.
  static BrushSource pattern(std::shared_ptr<const Image32> tile, bool monochrome, std::uint32_t foreground,
                             std::uint32_t background, POINT origin);

  bool paints_nothing() const { return kind_ == Kind::Nothing; }
  bool is_solid() const { return kind_ == Kind::Solid; }
  std::uint32_t solid_pixel() const { return foreground_; }

  // The colour of device pixel (x, y), or none where the pixel is left alone.
  std::optional<std::uint32_t> at(int x, int y) const;
  // Pixels after which a row of the brush repeats: 1 for a solid brush, 8
  // for a hatch, the tile's width for a pattern.
  int period() const;

 private:
  enum class Kind { Nothing, Solid, Hatch, Pattern };
  std::optional<std::uint32_t> hatch_at(int x, int y) const;
  std::optional<std::uint32_t> pattern_at(int x, int y) const;

  Kind kind_ = Kind::Nothing;
  std::uint32_t foreground_ = 0;
  std::uint32_t background_ = 0;
  bool opaque_background_ = false;
  ULONG hatch_ = 0;
  std::shared_ptr<const Image32> pattern_;
  bool monochrome_ = false;
  POINT origin_{0, 0};
};

}  // namespace velmora::platform
