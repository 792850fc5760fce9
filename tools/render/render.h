// Draws one picture into pixels: with the library (anti-aliased), with the
// platform's plain player, or both side by side, onto the background, and
// times the drawing call alone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/canvas.h"
#include "render/failure.h"
#include "render/metafile.h"
#include "render/options.h"
#include "render/output_size.h"
#include "render/png_output.h"

namespace velmora::render {

struct Source {
  std::string path;  // empty for standard input
  const Picture& picture;
};

struct Rendering {
  std::unique_ptr<tools::Canvas> canvas;  // premultiplied B, G, R, A pixels
  std::vector<double> call_ms;            // one per repeat

  PixelRows pixels() const;
};

Outcome<Rendering> render(const Options& options, const Source& source, OutputSize size);

}  // namespace velmora::render
