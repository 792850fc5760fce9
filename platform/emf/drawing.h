// What a drawing record does with the device geometry it built: outside a
// path bracket it fills the area with the brush and strokes the outline with
// the pen; inside one (BeginPath .. EndPath) it only adds the outline to the
// context's path.
#pragma once

#include "gdi/dc.h"
#include "gdi/path.h"
#include "region/region.h"

#include <agg_trans_affine.h>

namespace velmora::platform {

// Logical points to device points, rounded to whole pixels as GDI does.
class DeviceMapping {
 public:
  explicit DeviceMapping(const DeviceContext& dc) : m_(dc.logical_to_device()) {}

  const agg::trans_affine& transform() const { return m_; }
  // No rotation or shear: boxes stay boxes and are built in device space.
  bool axis_aligned() const { return m_.shx == 0.0 && m_.shy == 0.0; }
  // Device pixels per logical unit (the geometric mean of the two axes).
  double scale() const;
  POINT point(double x, double y) const;

 private:
  agg::trans_affine m_;
};

// Closed shapes: area filled with the brush by the rule, outline stroked.
void draw_closed(DeviceContext& dc, const DevicePath& area, const DevicePath& outline, FillRule rule);
inline void draw_closed(DeviceContext& dc, const DevicePath& shape, FillRule rule) {
  draw_closed(dc, shape, shape, rule);
}
// Open figures: stroked with the pen only.
void draw_open(DeviceContext& dc, const DevicePath& lines);

// Appends figures to the context's open path. A leading move to the point
// where the path's last open figure ends continues that figure.
void append_to_path(DevicePath& path, const DevicePath& figures);

// The fill rule of SetPolyFillMode.
FillRule poly_fill_rule(const DeviceContext& dc);

// The path's figures filled (closing open ones) and stroked, as FillPath,
// StrokePath and StrokeAndFillPath do.
void fill_device_path(DeviceContext& dc, const DevicePath& path);
void stroke_device_path(DeviceContext& dc, const DevicePath& path);

}  // namespace velmora::platform
