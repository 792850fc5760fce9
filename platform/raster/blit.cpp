#include "raster/blit.h"

#include "raster/blit_walk.h"
#include "raster/pixel_word.h"
#include "raster/rop3.h"

namespace velmora::platform {
namespace {

// ROP index that leaves the destination as it is, and the plain copy.
constexpr std::uint8_t kKeepDestination = 0xAA;
constexpr std::uint8_t kSourceCopy = 0xCC;

bool source_is_usable(const BlitSource& source) {
  if (source.width <= 0 || source.height <= 0) return false;
  return !source.image || !source.image->empty();
}

bool mask_bit(const RopBlit& op, const BlitSource& source, const SourcePixel& pixel) {
  const std::int64_t mx = std::int64_t{pixel.u} - source.x + op.mask_x;
  const std::int64_t my = std::int64_t{pixel.v} - source.y + op.mask_y;
  // Outside the mask counts as a 0 bit: the background operation.
  if (mx < 0 || my < 0 || mx >= op.mask->width || my >= op.mask->height) return false;
  return pixel_rgb(op.mask->at(static_cast<int>(mx), static_cast<int>(my))) != 0;
}

void blit_with_mask(const Target& target, const Placement& placement, const SourceSampler& sampler,
                    const RopBlit& op, std::uint32_t (*pattern_at)(const RopBlit&, int, int)) {
  const Rop3 foreground(rop3_index(op.rop));
  const Rop3 background(rop4_background_index(op.rop));
  walk_placement(target, placement, sampler, [&](std::uint8_t* d, int x, int y, const SourcePixel& s) {
    const Rop3& rop = mask_bit(op, sampler.source(), s) ? foreground : background;
    store_pixel(d, rop(pattern_at(op, x, y), s.color, load_pixel(d)));
  });
}

// The one colour every destination pixel takes from the source: none at all
// (0), or a source of a single pixel that lies in the image.
std::optional<std::uint32_t> uniform_source(const BlitSource& source) {
  if (!source.image) return 0u;
  const Image32& image = *source.image;
  if (source.width != 1 || source.height != 1) return std::nullopt;
  if (source.x < 0 || source.y < 0 || source.x >= image.width || source.y >= image.height) return std::nullopt;
  return image.at(source.x, source.y);
}

std::uint32_t pattern_pixel(const RopBlit& op, int x, int y) { return op.pattern->at(x, y); }
std::uint32_t no_pattern(const RopBlit&, int, int) { return 0; }

bool needs(const RopBlit& op, bool (*uses)(std::uint8_t)) {
  return uses(rop3_index(op.rop)) || (op.mask && uses(rop4_background_index(op.rop)));
}

}  // namespace

bool blit(const Target& target, const Placement& placement, const BlitSource& source, const RopBlit& op) {
  if (target.surface.empty() || !source_is_usable(source)) return false;
  if (needs(op, rop3_uses_source) && !source.image) return false;
  const bool uses_pattern = needs(op, rop3_uses_pattern);
  if (uses_pattern && !op.pattern) return false;
  const auto pattern_at = uses_pattern ? pattern_pixel : no_pattern;
  const SourceSampler sampler(source, op.stretch_mode);
  if (op.mask) {
    blit_with_mask(target, placement, sampler, op, pattern_at);
    return true;
  }
  const Rop3 rop(rop3_index(op.rop));
  if (rop.index() == kKeepDestination) return true;
  const auto* axis = std::get_if<AxisPlacement>(&placement);
  const std::optional<std::uint32_t> p = uses_pattern ? op.pattern->uniform() : std::optional<std::uint32_t>(0);
  const std::optional<std::uint32_t> one_source =
      sampler.picks_directly(false, false) ? uniform_source(source) : std::nullopt;
  if (p && axis && one_source) {
    fill_axis_bitwise(target, *axis, rop(*p, *one_source, 0xFFFFFFFFu), rop(*p, *one_source, 0));
    return true;
  }
  if (rop.index() == kSourceCopy) {
    walk_placement(target, placement, sampler,
                   [&](std::uint8_t* d, int, int, const SourcePixel& s) { store_pixel(d, s.color); });
    return true;
  }
  if (p) {
    walk_placement(target, placement, sampler, [&](std::uint8_t* d, int, int, const SourcePixel& s) {
      store_pixel(d, rop(*p, s.color, load_pixel(d)));
    });
    return true;
  }
  walk_placement(target, placement, sampler, [&](std::uint8_t* d, int x, int y, const SourcePixel& s) {
    store_pixel(d, rop(op.pattern->at(x, y), s.color, load_pixel(d)));
  });
  return true;
}

bool transparent_blit(const Target& target, const Placement& placement, const BlitSource& source,
                      std::uint32_t transparent) {
  if (target.surface.empty() || !source_is_usable(source) || !source.image) return false;
  const SourceSampler sampler(source, COLORONCOLOR);
  const std::uint32_t key = pixel_rgb(transparent);
  walk_placement(target, placement, sampler, [&](std::uint8_t* d, int, int, const SourcePixel& s) {
    if (pixel_rgb(s.color) != key) store_pixel(d, s.color);
  });
  return true;
}

}  // namespace velmora::platform
