// Filling any vertex source on our surfaces: aliased (the pixels whose
// centre is inside, raster/centre_sampler.h), or with its coverage through
// AGG's scanline rasterizer. Shared by path fills, wide-pen strokes and glyphs.
#pragma once

#include "raster/brush_source.h"
#include "raster/centre_sampler.h"
#include "raster/pixel_writer.h"
#include "region/region.h"

#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_u.h>

namespace velmora::platform {

// Clipping in doubles keeps far-away coordinates from overflowing AGG's
// 24.8 fixed-point cells.
using ScanRasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

// Extra pixels around the surface for the rasterizer's clip box, so that
// clipped edges never pull coverage into the visible pixels.
inline constexpr double kScanClipMargin = 2.0;

// The rasterizer and scanline of this thread, cleared for the next fill:
// their cell blocks and span arrays are kept from one fill to the next
// instead of being allocated for each.
struct ScanTools {
  ScanRasterizer ras;
  agg::scanline_u8 sl;
};
inline ScanTools& scan_tools() {
  thread_local ScanTools tools;
  tools.ras.reset();
  return tools;
}

template <class VertexSource>
bool rasterize(ScanRasterizer& ras, const Surface& surface, VertexSource& source, FillRule rule) {
  if (surface.empty()) return false;
  ras.clip_box(-kScanClipMargin, -kScanClipMargin, surface.width + kScanClipMargin, surface.height + kScanClipMargin);
  ras.filling_rule(rule == FillRule::NonZero ? agg::fill_non_zero : agg::fill_even_odd);
  ras.add_path(source);
  return ras.rewind_scanlines();
}

// Fills a vertex source aliased with a brush source through a writer.
template <class VertexSource>
void fill_aliased(PixelWriter& writer, VertexSource& source, FillRule rule, const BrushSource& brush) {
  if (brush.paints_nothing() || writer.surface().empty()) return;
  CentreSampler& sampler = centre_sampler();
  sampler.add(source);
  const Surface& surface = writer.surface();
  sampler.for_each_run(surface.width, surface.height, rule,
                       [&](int y, int x0, int x1) { writer.span(y, x0, x1, brush); });
}

}  // namespace velmora::platform
