// The drawing calls velmora-render times: each draws the picture into
// width x height pixels at the top-left of `dc`, over what is there, and
// says whether the call succeeded.
#pragma once

#include <windows.h>

#include "common/canvas.h"
#include "render/options.h"
#include "render/render.h"

namespace velmora::render {

// The library: VelmoraFileW on the file when the whole picture is wanted,
// Velmora on the picture for a crop or standard input.
bool draw_smooth(HDC dc, const Source& source, const Options& options, int width, int height);

// The platform's player alone, aliased. The canvas must hold the key: alpha
// 255 everywhere (drawn pixels get alpha 0); finish_plain() then composes
// them onto the background.
bool draw_plain(HDC dc, const Source& source, const Options& options, int width, int height);
void finish_plain(tools::Canvas& canvas, const Options& options);

}  // namespace velmora::render
