// The transforms between the layout's text space and the device: how the
// baseline turns with the escapement, how the DC's world and page
// transforms shape the glyphs in each graphics mode, and small helpers that
// put text-space boxes into device space.
#pragma once

#include <agg_path_storage.h>
#include <agg_trans_affine.h>

#include <windows.h>

namespace velmora::platform {

// A turn by an angle in tenths of a degree, counter-clockwise as seen on a
// y-down device (so the x axis turns toward -y).
agg::trans_affine rotation_tenths(double tenths);

// Length of the image of a unit step along x (along y) under the linear part.
double x_axis_scale(const agg::trans_affine& m);
double y_axis_scale(const agg::trans_affine& m);

bool is_usable(const agg::trans_affine& m);  // finite and invertible

// The linear map from text space to device space. GM_ADVANCED: the
// escapement turn, then the world transform, then the page scale without its
// sign (a y-up mapping mode does not stand text on its head). GM_COMPATIBLE:
// glyphs stay upright on the device, only scaled by the mapping, and the
// escapement turns them there, the other way when the mapping mirrors.
agg::trans_affine text_linear(int escapement, bool advanced_mode, const agg::trans_affine& world,
                              const agg::trans_affine& page);

// Appends the closed quadrilateral that the box [x0, x1] x [y0, y1] becomes.
void append_box(agg::path_storage& out, const agg::trans_affine& to_device, double x0, double y0, double x1,
                double y1);

}  // namespace velmora::platform
