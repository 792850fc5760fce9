// Draws one picture into pixels: with the library (anti-aliased), with the
// platform's plain player, or both side by side, onto the background, and
// times the drawing call alone.
#pragma once

#include <string>
#include <vector>

#include "common/png_io.h"
#include "render/failure.h"
#include "render/metafile.h"
#include "render/options.h"
#include "render/output_size.h"

namespace velmora::render {

struct Source {
  std::string path;  // empty for standard input
  const Picture& picture;
};

struct Rendering {
  tools::Image image;           // premultiplied B, G, R, A rows, top-down
  std::vector<double> call_ms;  // one per repeat
};

Outcome<Rendering> render(const Options& options, const Source& source, OutputSize size);

}  // namespace velmora::render
