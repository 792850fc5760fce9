// The filtered halving of the capture with Anti-Grain Geometry: a W x H
// block of the result bitmap, at its top-left corner (0, 0), receives the
// capture reduced by 2 and turned about the pivot, as premultiplied
// B, G, R, A. Every other result pixel is 0.
#pragma once

#include <agg_trans_affine.h>

#include "capture.h"

namespace velmora::core {

// The point of the result bitmap that stays in place when the picture turns:
// a quarter of the capture's sides, in integer division.
struct Pivot {
  int x = 0;
  int y = 0;
};
Pivot resampling_pivot(int capture_width, int capture_height);

// Maps result-bitmap points to capture points: scales by 2 and turns by
// `angle` radians about the pivot. The transform is used as it is, never
// inverted; a positive angle turns the picture counter-clockwise on screen.
agg::trans_affine resampling_transform(int capture_width, int capture_height, double angle);

// Clears the result to transparent black and renders the W x H block.
// May throw std::bad_alloc from AGG's storage.
void resample(const PixelMemory& capture, const PixelMemory& result, int width, int height, double angle);

}  // namespace velmora::core
