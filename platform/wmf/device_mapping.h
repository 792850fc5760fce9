// The page-to-device mapping of the converted picture as its player will
// apply it, followed record by record so that the conversion knows where
// drawing lands in device units, for the picture's bounds. Follows GDI's rules (MS-WMF 2.1.1.16
// MapMode) for the reference device of the converted file.
#pragma once

#include <windows.h>

#include <agg_trans_affine.h>

namespace velmora::platform::wmf {

// The converted file's reference device: the 96-dpi screen of 1024 x 768
// pixels that the platform's own conversion assumes, so that a picture
// stretched over the whole surface keeps the platform's proportions and
// text is measured at the sizes it shows there.
inline constexpr SIZEL kReferencePixels{1024, 768};
inline constexpr SIZEL kReferenceMillimeters{271, 203};
// Pixels per millimetre along each axis, from those whole numbers, as
// players of the converted file measure it.
inline constexpr double kPixelsPerMillimeterX = static_cast<double>(kReferencePixels.cx) / kReferenceMillimeters.cx;
inline constexpr double kPixelsPerMillimeterY = static_cast<double>(kReferencePixels.cy) / kReferenceMillimeters.cy;

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

  // As the player's SetMapMode: a fixed mode sets its own extents,
  // MM_ISOTROPIC starts from the metric ones and MM_ANISOTROPIC keeps the
  // current ones. Unknown modes are ignored.
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
  agg::trans_affine page_transform() const;

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
};

}  // namespace velmora::platform::wmf
