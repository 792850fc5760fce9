// Outlines of GDI's curved shapes: elliptical arcs, ellipses, chords, pies
// and rounded rectangles, sampled finely enough that their one-pixel
// outlines land on the pixels the exact curves would, and mapped to device
// coordinates by a transform (identity when built in device space).
//
// Angles are radians, counter-clockwise as seen on the device (whose y axis
// points down): the point at angle a is (cx + rx cos a, cy - ry sin a).
#pragma once

#include "gdi/path.h"

#include <agg_trans_affine.h>

namespace velmora::platform {

struct Box {
  double left, top, right, bottom;
};

struct EllipseGeometry {
  double cx, cy, rx, ry;

  static EllipseGeometry inscribed(const Box& box);
  // The angle of the point where the ray from the centre towards (x, y)
  // meets the ellipse.
  double angle_towards(double x, double y) const;
  double x_at(double angle) const;
  double y_at(double angle) const;
};

// Appends an arc from `start` through `sweep` radians. The first point
// starts a new figure when new_figure is set, else it joins the figure with
// a line. The points are mapped by m.
void append_arc(DevicePath& path, const EllipseGeometry& e, double start, double sweep, bool new_figure,
                const agg::trans_affine& m);

// Closed figures of boxes, mapped by m.
void append_box(DevicePath& path, const Box& box, const agg::trans_affine& m);
void append_ellipse(DevicePath& path, const Box& box, const agg::trans_affine& m);
void append_round_rect(DevicePath& path, const Box& box, double corner_width, double corner_height,
                       const agg::trans_affine& m);

// The sweep from start to end going in the arc direction (AD_*): a full turn
// when they coincide.
double arc_sweep(double start, double end, int arc_direction);

}  // namespace velmora::platform
