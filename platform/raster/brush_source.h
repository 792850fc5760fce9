// The colour a brush gives each device pixel: solid, hatched (8x8 hatches
// aligned to the brush origin, background only when the context is OPAQUE)
// or a tiled pattern image.
#pragma once

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace velmora::platform {

class BrushSource {
 public:
  // A brush as the context's state (colours, background mode, origin) paints it.
  BrushSource(const BrushTraits& brush, const DcState& state);
  // One colour everywhere (0x00RRGGBB).
  static BrushSource solid(std::uint32_t pixel);

  bool paints_nothing() const { return kind_ == Kind::Nothing; }
  bool is_solid() const { return kind_ == Kind::Solid; }
  std::uint32_t solid_pixel() const { return foreground_; }

  // The colour of device pixel (x, y), or none where the pixel is left alone.
  std::optional<std::uint32_t> at(int x, int y) const;

 private:
  enum class Kind { Nothing, Solid, Hatch, Pattern };
  BrushSource() = default;
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
