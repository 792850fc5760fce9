// The capture halved with no turn, byte for byte as AGG's filtered
// resampling (span_image_resample_rgba_affine, bilinear filter, a scale of
// exactly 2, edge pixels repeated) computes it, at a tenth of its cost.
// With no turn every result pixel maps to the same place between capture
// pixels, so all take the same weights of the same 4 x 4 window around it:
// the weights are worked out once instead of per pixel.
#pragma once

#include "capture.h"

namespace velmora::core {

// The W x H block at the result's top-left corner receives the capture
// reduced by 2, as premultiplied B, G, R, A. Every other result pixel is
// left as it was. The capture is at least 1 x 1.
void halve(const PixelMemory& capture, const PixelMemory& result, int width, int height);

// The same with plain integer arithmetic alone: what halve() does on
// machines without SSE2, and for each pixel whose window leaves the capture.
void halve_portable(const PixelMemory& capture, const PixelMemory& result, int width, int height);

}  // namespace velmora::core
