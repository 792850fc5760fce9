// What the drawing records hand to the pixels. Geometry arrives in device
// coordinates (pixel corners at integers: pixel (x, y) spans [x, x+1) x
// [y, y+1)); these functions clip it to the surface and the context's clip
// region, apply the context's binary raster operation where GDI does, and
// write 0 into the fourth byte of every pixel they change. Pixels they do not
// touch keep all four bytes.
#pragma once

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
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

// Fills a path (device coordinates; open figures are closed) aliased, as
// GDI fills: a pixel is painted when its centre lies inside. Painted with
// the brush, the context's ROP2, brush origin and background mode/colour.
void fill_path_aliased(DeviceContext& dc, agg::path_storage& path, FillRule rule, const BrushTraits& brush);

// Fills a path anti-aliased with one colour, for glyphs: every pixel with
// coverage above 0 is blended towards the colour by its coverage and gets
// 0 in its fourth byte. ROP2 does not apply.
void fill_path_antialiased(DeviceContext& dc, agg::path_storage& path, FillRule rule, COLORREF color);

// Paints device spans with a brush (clip and ROP2 as above).
void paint_spans(DeviceContext& dc, std::span<const DeviceSpan> spans, const BrushTraits& brush);

// Paints every rectangle of a device-space region with a brush.
void paint_region(DeviceContext& dc, const Region& region, const BrushTraits& brush);

}  // namespace velmora::platform
