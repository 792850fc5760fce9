// How the platform brings a hinted run's offsets to whole device pixels.
// It carries an offset from the reference point (an advance, the ascent, a
// run's width) to the device as a point measured from the logical origin,
// rounds it there and takes away the origin rounded. Where the logical
// origin falls between pixels, an offset thus rounds other than to its own
// nearest pixel; the reference point itself is rounded on its own.
#pragma once

namespace velmora::platform {

// One device axis of an upright run.
struct PixelAxis {
  double origin = 0;  // device coordinate of the logical origin
  double scale = 1;   // device pixels per text unit; negative where the mapping runs against text space
};

// A device coordinate rounded to its pixel, halves up.
double whole_pixel(double device);

// A text-space offset along the axis in whole device pixels, in text
// space's own direction.
double whole_length(const PixelAxis& axis, double text_units);

}  // namespace velmora::platform
