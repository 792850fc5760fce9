#include "wmf/device_mapping.h"

#include <algorithm>
#include <cmath>

namespace velmora::platform::wmf {
namespace {

// Device pixels per logical unit of the fixed metric modes, on the
// reference device, along an axis with the given pixels per millimetre;
// their y axis points up.
double metric_scale(int mode, double pixels_per_mm) {
  switch (mode) {
    case MM_LOMETRIC: return pixels_per_mm / 10.0;       // 0.1 mm
    case MM_HIMETRIC: return pixels_per_mm / 100.0;      // 0.01 mm
    case MM_LOENGLISH: return pixels_per_mm * 0.254;     // 0.01 inch
    case MM_HIENGLISH: return pixels_per_mm * 0.0254;    // 0.001 inch
    case MM_TWIPS: return pixels_per_mm * 25.4 / 1440.0;  // 1/1440 inch
    default: return 1.0;                                  // MM_TEXT: one pixel
  }
}

int scaled(int value, int num, int den) {
  const long long result = static_cast<long long>(value) * num / den;
  return static_cast<int>(std::clamp<long long>(result, -0x7FFFFFFF, 0x7FFFFFFF));
}

}  // namespace

LONG device_coordinate(double v) {
  constexpr double kLargest = 0x3FFFFFFF;
  return static_cast<LONG>(std::lround(std::clamp(v, -kLargest, kLargest)));
}

void DeviceMapping::set_mode(int mode) {
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return;
  mode_ = mode;
  if (mode == MM_ISOTROPIC) {
    // Tenths of a millimetre to pixels, y up, as MM_LOMETRIC.
    window_ext_ = {kReferenceMillimeters.cx * 10, kReferenceMillimeters.cy * 10};
    viewport_ext_ = {kReferencePixels.cx, -kReferencePixels.cy};
  } else if (!scalable()) {
    window_ext_ = {1, 1};
    viewport_ext_ = {1, 1};
  }
}

void DeviceMapping::set_window_ext(int cx, int cy) {
  if (!scalable() || cx == 0 || cy == 0) return;
  window_ext_ = {cx, cy};
}

void DeviceMapping::set_viewport_ext(int cx, int cy) {
  if (!scalable() || cx == 0 || cy == 0) return;
  viewport_ext_ = {cx, cy};
}

void DeviceMapping::offset_window_org(int dx, int dy) {
  window_org_.x += dx;
  window_org_.y += dy;
}

void DeviceMapping::offset_viewport_org(int dx, int dy) {
  viewport_org_.x += dx;
  viewport_org_.y += dy;
}

void DeviceMapping::scale_window_ext(int xnum, int xden, int ynum, int yden) {
  if (xden == 0 || yden == 0) return;
  set_window_ext(scaled(window_ext_.cx, xnum, xden), scaled(window_ext_.cy, ynum, yden));
}

void DeviceMapping::scale_viewport_ext(int xnum, int xden, int ynum, int yden) {
  if (xden == 0 || yden == 0) return;
  set_viewport_ext(scaled(viewport_ext_.cx, xnum, xden), scaled(viewport_ext_.cy, ynum, yden));
}

double DeviceMapping::scale_x() const {
  if (!scalable()) return metric_scale(mode_, kPixelsPerMillimeterX);
  const double sx = static_cast<double>(viewport_ext_.cx) / window_ext_.cx;
  if (mode_ == MM_ANISOTROPIC) return sx;
  const double sy = static_cast<double>(viewport_ext_.cy) / window_ext_.cy;
  return std::copysign(std::min(std::fabs(sx), std::fabs(sy)), sx);
}

double DeviceMapping::scale_y() const {
  if (!scalable()) return mode_ == MM_TEXT ? 1.0 : -metric_scale(mode_, kPixelsPerMillimeterY);
  const double sy = static_cast<double>(viewport_ext_.cy) / window_ext_.cy;
  if (mode_ == MM_ANISOTROPIC) return sy;
  const double sx = static_cast<double>(viewport_ext_.cx) / window_ext_.cx;
  return std::copysign(std::min(std::fabs(sx), std::fabs(sy)), sy);
}

DevicePoint DeviceMapping::to_device(double x, double y) const {
  return {(x - window_org_.x) * scale_x() + viewport_org_.x, (y - window_org_.y) * scale_y() + viewport_org_.y};
}

agg::trans_affine DeviceMapping::page_transform() const {
  const DevicePoint origin = to_device(0, 0);
  return agg::trans_affine(scale_x(), 0.0, 0.0, scale_y(), origin.x, origin.y);
}

}  // namespace velmora::platform::wmf
