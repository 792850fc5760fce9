#include "render/output_size.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "render/limits.h"

namespace velmora::render {
namespace {

// A side in whole pixels, at least one; NaN and infinity give none.
std::optional<long long> whole_pixels(double side) {
  if (!std::isfinite(side) || side > 1e15) return std::nullopt;
  return std::max(1LL, std::llround(side));
}

Outcome<OutputSize> checked(std::optional<long long> width, std::optional<long long> height) {
  if (!width || !height) return Failure{"has no usable size (an empty frame); give --size"};
  const std::int64_t capture_bytes = (2 * *width + 2) * (2 * *height + 2) * 4;
  if (*width > kMaxSide || *height > kMaxSide || capture_bytes > kMaxCaptureBytes) {
    return Failure{"too large for memory (" + std::to_string(*width) + " x " + std::to_string(*height) +
                   " pixels; give a smaller --width or --dpi)"};
  }
  return OutputSize{static_cast<int>(*width), static_cast<int>(*height)};
}

bool usable(double aspect) { return std::isfinite(aspect) && aspect > 0.0; }

// The largest size of the aspect ratio inside width x height.
Outcome<OutputSize> fit_inside(int width, int height, double aspect) {
  if (width / aspect <= height) return checked(width, whole_pixels(width / aspect));
  return checked(whole_pixels(height * aspect), height);
}

}  // namespace

double cropped_aspect(double aspect, const Crop& crop) {
  return std::fabs(aspect) * (crop.right - crop.left) / (crop.bottom - crop.top);
}

Outcome<OutputSize> plan_output_size(const Options& options, const Picture& picture) {
  const double aspect = cropped_aspect(picture.aspect, options.crop);
  if (options.width && options.height && !options.fit) return checked(*options.width, *options.height);
  if (!usable(aspect)) return checked(std::nullopt, std::nullopt);
  if (options.thumbnail) return fit_inside(*options.thumbnail, *options.thumbnail, aspect);
  if (options.width && options.height) return fit_inside(*options.width, *options.height, aspect);
  if (options.width) return checked(*options.width, whole_pixels(*options.width / aspect));
  if (options.height) return checked(whole_pixels(*options.height * aspect), *options.height);
  if (picture.width_inches <= 0.0) return checked(std::nullopt, std::nullopt);
  const double crop_w = options.crop.right - options.crop.left;
  const double crop_h = options.crop.bottom - options.crop.top;
  return checked(whole_pixels(picture.width_inches * options.dpi * crop_w),
                 whole_pixels(picture.height_inches * options.dpi * crop_h));
}

}  // namespace velmora::render
