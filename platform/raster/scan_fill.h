// AGG's scanline rasterizer set up for our surfaces: any vertex source can
// be filled aliased (pixels whose centre is inside: coverage threshold one
// half) or with its coverage. Shared by path fills and wide-pen strokes.
#pragma once

#include "raster/brush_source.h"
#include "raster/pixel_writer.h"
#include "region/region.h"

#include <agg_gamma_functions.h>
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
// instead of being allocated for each. One for aliased fills (coverage
// thresholded at one half), one for coverage.
struct ScanTools {
  ScanRasterizer ras;
  agg::scanline_u8 sl;
};
inline ScanTools& scan_tools(bool aliased) {
  thread_local ScanTools tools[2] = {};
  thread_local bool ready = false;
  if (!ready) {
    tools[1].ras.gamma(agg::gamma_threshold(0.5));
    ready = true;
  }
  ScanTools& t = tools[aliased ? 1 : 0];
  t.ras.reset();
  return t;
}

template <class VertexSource>
bool rasterize(ScanRasterizer& ras, const Surface& surface, VertexSource& source, FillRule rule) {
  if (surface.empty()) return false;
  ras.clip_box(-kScanClipMargin, -kScanClipMargin, surface.width + kScanClipMargin, surface.height + kScanClipMargin);
  ras.filling_rule(rule == FillRule::NonZero ? agg::fill_non_zero : agg::fill_even_odd);
  ras.add_path(source);
  return ras.rewind_scanlines();
}

// Calls visit(y, x0, x1) for each run of covered pixels. The rasterizer
// adds only cells and runs with a coverage above 0, so every span is
// covered throughout.
template <class Visit>
void for_each_covered_run(ScanRasterizer& ras, agg::scanline_u8& sl, Visit&& visit) {
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    const int y = sl.y();
    auto span = sl.begin();
    for (unsigned n = sl.num_spans(); n > 0; --n, ++span) visit(y, span->x, span->x + span->len);
  }
}

// Fills a vertex source aliased with a brush source through a writer.
template <class VertexSource>
void fill_aliased(PixelWriter& writer, VertexSource& source, FillRule rule, const BrushSource& brush) {
  if (brush.paints_nothing()) return;
  ScanTools& tools = scan_tools(true);
  if (!rasterize(tools.ras, writer.surface(), source, rule)) return;
  for_each_covered_run(tools.ras, tools.sl, [&](int y, int x0, int x1) { writer.span(y, x0, x1, brush); });
}

}  // namespace velmora::platform
