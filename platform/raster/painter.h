// Area fills on a target. Geometry arrives in device coordinates; these
// functions clip it to the surface and the clip region, combine it with the
// destination by a binary raster operation, and write 0 into the fourth
// byte of every pixel they change. Pixels they do not touch keep all four
// bytes.
#pragma once

#include "raster/brush_source.h"
#include "raster/target.h"
#include "region/region.h"

#include <agg_path_storage.h>

#include <span>

namespace velmora::platform {

// Pixels [x0, x1) of device row y.
struct DeviceSpan {
  int y;
  int x0;
  int x1;
};

// Fills a path aliased, in AGG's convention (pixel (x, y) spans [x, x+1) x
// [y, y+1); open figures are closed): a pixel is painted when its centre
// lies inside.
void fill_path_aliased(const Target& target, int rop2, agg::path_storage& path, FillRule rule,
                       const BrushSource& brush);

// Paints device spans, and every rectangle of a device-space region.
void paint_spans(const Target& target, int rop2, std::span<const DeviceSpan> spans, const BrushSource& brush);
void paint_region(const Target& target, int rop2, const Region& region, const BrushSource& brush);

}  // namespace velmora::platform
