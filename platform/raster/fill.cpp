// Path fills through AGG's scanline rasterizer: aliased fills take pixels
// whose centre is inside (coverage threshold one half), anti-aliased ones
// keep the coverage.
#include "raster/painter.h"

#include "raster/brush_source.h"
#include "raster/pixel_writer.h"

#include <agg_conv_curve.h>
#include <agg_gamma_functions.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_u.h>

namespace velmora::platform {
namespace {

// Clipping in doubles keeps far-away coordinates from overflowing AGG's
// 24.8 fixed-point cells.
using Rasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

// Extra pixels around the surface for the rasterizer's clip box, so that
// clipped edges never pull coverage into the visible pixels.
constexpr double kClipMargin = 2.0;

bool prepare(Rasterizer& ras, const Surface& surface, agg::path_storage& path, FillRule rule) {
  if (surface.empty()) return false;
  ras.clip_box(-kClipMargin, -kClipMargin, surface.width + kClipMargin, surface.height + kClipMargin);
  ras.filling_rule(rule == FillRule::NonZero ? agg::fill_non_zero : agg::fill_even_odd);
  agg::conv_curve<agg::path_storage> curves(path);
  ras.add_path(curves);
  return ras.rewind_scanlines();
}

// Calls visit(y, x0, x1) for each run of covered pixels.
template <class Visit>
void for_each_covered_run(Rasterizer& ras, Visit&& visit) {
  agg::scanline_u8 sl;
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    const int y = sl.y();
    auto span = sl.begin();
    for (unsigned n = sl.num_spans(); n > 0; --n, ++span) {
      int run_start = -1;
      for (int i = 0; i < span->len; ++i) {
        const bool covered = span->covers[i] != 0;
        if (covered && run_start < 0) run_start = i;
        if (!covered && run_start >= 0) {
          visit(y, span->x + run_start, span->x + i);
          run_start = -1;
        }
      }
      if (run_start >= 0) visit(y, span->x + run_start, span->x + span->len);
    }
  }
}

}  // namespace

void fill_path_aliased(DeviceContext& dc, agg::path_storage& path, FillRule rule, const BrushSpec& brush) {
  const BrushSource source(brush, dc.state());
  if (source.paints_nothing()) return;
  Rasterizer ras;
  ras.gamma(agg::gamma_threshold(0.5));
  if (!prepare(ras, dc.surface(), path, rule)) return;
  PixelWriter writer(dc, dc.state().rop2);
  for_each_covered_run(ras, [&](int y, int x0, int x1) { writer.span(y, x0, x1, source); });
}

void fill_path_antialiased(DeviceContext& dc, agg::path_storage& path, FillRule rule, COLORREF color) {
  Rasterizer ras;
  if (!prepare(ras, dc.surface(), path, rule)) return;
  PixelWriter writer(dc, R2_COPYPEN);
  const std::uint32_t pixel = pixel_of(color);
  agg::scanline_u8 sl;
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    auto span = sl.begin();
    for (unsigned n = sl.num_spans(); n > 0; --n, ++span) writer.blend_span(sl.y(), span->x, span->len, pixel, span->covers);
  }
}

void paint_spans(DeviceContext& dc, std::span<const DeviceSpan> spans, const BrushSpec& brush) {
  const BrushSource source(brush, dc.state());
  PixelWriter writer(dc, dc.state().rop2);
  for (const DeviceSpan& s : spans) writer.span(s.y, s.x0, s.x1, source);
}

void paint_region(DeviceContext& dc, const Region& region, const BrushSpec& brush) {
  const BrushSource source(brush, dc.state());
  PixelWriter writer(dc, dc.state().rop2);
  const Surface& surface = dc.surface();
  for (const RECT& r : region.rects()) {
    const int top = std::max<int>(r.top, 0);
    const int bottom = std::min<int>(r.bottom, surface.height);
    for (int y = top; y < bottom; ++y) writer.span(y, r.left, r.right, source);
  }
}

}  // namespace velmora::platform
