#include "fit_rect.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace velmora {
namespace {

// origin + trunc(extent) when it is a 32-bit value; empty where 32-bit
// arithmetic would overflow or the extent is not a number.
std::optional<LONG> offset_by(LONG origin, double extent) {
  if (!std::isfinite(extent)) return std::nullopt;
  const double end = static_cast<double>(origin) + std::trunc(extent);
  if (end < std::numeric_limits<std::int32_t>::min() || end > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<LONG>(end);
}

}  // namespace

RECT FitToAspect(const RECT& bounds, float aspect) {
  const double a = aspect;
  // Exact in double, where 32-bit subtraction could wrap for far-apart sides.
  const double width = static_cast<double>(bounds.right) - bounds.left;
  const double height = static_cast<double>(bounds.bottom) - bounds.top;
  RECT fitted = bounds;
  if (a > 1.0) {
    const std::optional<LONG> right = offset_by(bounds.left, height * a);
    if (right && *right <= bounds.right) {
      fitted.right = *right;
    } else {
      fitted.bottom = offset_by(bounds.top, width / a).value_or(bounds.bottom);
    }
  } else {
    const std::optional<LONG> bottom = offset_by(bounds.top, width / a);
    if (bottom && *bottom <= bounds.bottom) {
      fitted.bottom = *bottom;
    } else {
      fitted.right = offset_by(bounds.left, height * a).value_or(bounds.right);
    }
  }
  return fitted;
}

}  // namespace velmora
