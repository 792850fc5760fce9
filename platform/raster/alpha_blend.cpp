// The AlphaBlend record's arithmetic, as the reference player computes it:
//   with AC_SRC_ALPHA (premultiplied source, coverage a = Sa * C / 255):
//     D = S * C / 255 + D * (255 - a) / 255   for each byte, the fourth too;
//   without it (constant alpha C only; a source with no fourth byte of its
//   own counts as opaque):
//     D = (S * C + D * (255 - C)) / 255       for each byte.
#include "raster/blit.h"
#include "raster/blit_walk.h"
#include "raster/pixel_word.h"

namespace velmora::platform {
namespace {

std::uint32_t blend_premultiplied(std::uint32_t s, std::uint32_t d, std::uint32_t constant) {
  // The two cases most pixels of a masked picture take, with the bytes the
  // general sum gives: nothing over the target, and opaque at full strength.
  if (s == 0) return d;
  if (constant == 255 && (s >> 24) == 255) return s;
  const std::uint32_t coverage = div255(pixel_channel(s, 24) * constant);
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t v = div255(pixel_channel(s, shift) * constant) + div255(pixel_channel(d, shift) * (255 - coverage));
    out |= std::min<std::uint32_t>(v, 255) << shift;
  }
  return out;
}

std::uint32_t blend_constant(std::uint32_t s, std::uint32_t d, std::uint32_t constant) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= div255(pixel_channel(s, shift) * constant + pixel_channel(d, shift) * (255 - constant)) << shift;
  return out;
}

}  // namespace

bool alpha_blend(const Target& target, const Placement& placement, const BlitSource& source,
                 BLENDFUNCTION blend) {
  if (target.surface.empty() || !source.image || source.image->empty() || source.width <= 0 || source.height <= 0)
    return false;
  const bool per_pixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  // Per-pixel alpha needs a source with a fourth byte of its own.
  if (per_pixel && !source.image->has_alpha) return false;
  const std::uint32_t constant = blend.SourceConstantAlpha;
  const std::uint32_t opaque = source.image->has_alpha ? 0 : 0xFF000000u;
  const SourceSampler sampler(source, COLORONCOLOR);
  walk_placement(target, placement, sampler, [&](std::uint8_t* d, int, int, const SourcePixel& s) {
    const std::uint32_t dst = load_pixel(d);
    store_pixel(d, per_pixel ? blend_premultiplied(s.color, dst, constant)
                             : blend_constant(s.color | opaque, dst, constant));
  });
  return true;
}

}  // namespace velmora::platform
