// The page-to-device mapping of the converted picture as its player will
// apply it, followed record by record so that the conversion knows where
// drawing lands in device units (for the picture's bounds) and which window
// the picture's frame should show. Follows GDI's rules (MS-WMF 2.1.1.16
// MapMode) for the reference device of the converted file.
#pragma once

#include <windows.h>

namespace velmora::platform::wmf {

// The converted file's reference device: one pixel is 0.01 mm, so that
// device units and the header's frame units are the same numbers and a
// frame taken from device units is exact. 320 mm x 240 mm is an ordinary
// screen's size; players map the frame onto their target in any case.
inline constexpr SIZEL kReferenceMillimeters{320, 240};
inline constexpr SIZEL kReferencePixels{32000, 24000};
inline constexpr double kPixelsPerMillimeter = 100.0;

struct DevicePoint {
  double x;
  double y;
};

// A device coordinate rounded and kept well inside the 32-bit range that
// EMF rectangles hold, so that widths and heights of them cannot overflow.
LONG device_coordinate(double v);

class DeviceMapping {
 public:
  int mode() const { return mode_; }
  POINT window_org() const { return window_org_; }
  POINT viewport_org() const { return viewport_org_; }
  SIZE window_ext() const { return window_ext_; }
  bool window_ext_set() const { return window_ext_set_; }

  // As SetMapMode: a fixed mode sets its own extents; MM_ISOTROPIC and
  // MM_ANISOTROPIC keep the current ones. Unknown modes are ignored.
  void set_mode(int mode);
  void set_window_org(int x, int y) { window_org_ = {x, y}; }
  void set_viewport_org(int x, int y) { viewport_org_ = {x, y}; }
  // Extents count only in the two scalable modes, and never when zero.
  void set_window_ext(int cx, int cy);
  void set_viewport_ext(int cx, int cy);
  void offset_window_org(int dx, int dy);
  void offset_viewport_org(int dx, int dy);
  // ScaleWindowExtEx / ScaleViewportExtEx: ext * num / den; a zero denominator is ignored.
  void scale_window_ext(int xnum, int xden, int ynum, int yden);
  void scale_viewport_ext(int xnum, int xden, int ynum, int yden);

  DevicePoint to_device(double x, double y) const;

 private:
  bool scalable() const { return mode_ == MM_ISOTROPIC || mode_ == MM_ANISOTROPIC; }
  // Device pixels per logical unit, signed, for each axis.
  double scale_x() const;
  double scale_y() const;

  int mode_ = MM_TEXT;
  POINT window_org_{0, 0};
  POINT viewport_org_{0, 0};
  SIZE window_ext_{1, 1};
  SIZE viewport_ext_{1, 1};
  bool window_ext_set_ = false;
};

}  // namespace velmora::platform::wmf
