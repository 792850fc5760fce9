#include "text/pixel_axis.h"

#include <cmath>

namespace velmora::platform {

double whole_pixel(double device) { return std::floor(device + 0.5); }

double whole_length(const PixelAxis& axis, double text_units) {
  const double pixels = whole_pixel(axis.origin + text_units * axis.scale) - whole_pixel(axis.origin);
  return axis.scale < 0 ? -pixels : pixels;
}

}  // namespace velmora::platform
