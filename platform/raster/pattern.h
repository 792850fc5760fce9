// The brush as a raster operation sees it: a colour word for every device
// pixel. A blit asks for P only where its raster operation uses the pattern.
#pragma once

#include <cstdint>
#include <optional>

namespace velmora::platform {

class PatternSampler {
 public:
  virtual ~PatternSampler() = default;
  // The brush's pixel word at device pixel (x, y); its fourth byte is 0.
  virtual std::uint32_t at(int x, int y) const = 0;
  // The word of every pixel when the brush is the same everywhere.
  virtual std::optional<std::uint32_t> uniform() const { return std::nullopt; }
};

class SolidPattern final : public PatternSampler {
 public:
  explicit SolidPattern(std::uint32_t pixel) : pixel_(pixel & 0x00FFFFFFu) {}
  std::uint32_t at(int, int) const override { return pixel_; }
  std::optional<std::uint32_t> uniform() const override { return pixel_; }

 private:
  std::uint32_t pixel_;
};

}  // namespace velmora::platform
