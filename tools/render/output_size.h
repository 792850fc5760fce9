// The size of the PNG made of one picture: its own size at --dpi by
// default, or what --width, --height, --size or --thumbnail ask for, kept to
// the aspect ratio of the (cropped) picture unless --no-fit.
#pragma once

#include "render/failure.h"
#include "render/metafile.h"
#include "render/options.h"

namespace velmora::render {

struct OutputSize {
  int width = 0;
  int height = 0;
};

Outcome<OutputSize> plan_output_size(const Options& options, const Picture& picture);

// The part of the picture's aspect ratio that the crop window keeps.
double cropped_aspect(double aspect, const Crop& crop);

}  // namespace velmora::render
