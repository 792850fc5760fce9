// The painting entry points of the raster layer.
#include "raster/painter.h"

#include "raster/scan_fill.h"

#include <agg_conv_curve.h>

#include <algorithm>

namespace velmora::platform {

void fill_path_aliased(DeviceContext& dc, agg::path_storage& path, FillRule rule, const BrushTraits& brush) {
  PixelWriter writer(dc, dc.state().rop2);
  agg::conv_curve<agg::path_storage> curves(path);
  fill_aliased(writer, dc.surface(), curves, rule, BrushSource(brush, dc.state()));
}

void fill_path_antialiased(DeviceContext& dc, agg::path_storage& path, FillRule rule, COLORREF color) {
  ScanRasterizer ras;
  agg::conv_curve<agg::path_storage> curves(path);
  if (!rasterize(ras, dc.surface(), curves, rule)) return;
  PixelWriter writer(dc, R2_COPYPEN);
  const std::uint32_t pixel = pixel_of(color);
  agg::scanline_u8 sl;
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    auto span = sl.begin();
    for (unsigned n = sl.num_spans(); n > 0; --n, ++span) {
      writer.blend_span(sl.y(), span->x, span->len, pixel, span->covers);
    }
  }
}

void paint_spans(DeviceContext& dc, std::span<const DeviceSpan> spans, const BrushTraits& brush) {
  const BrushSource source(brush, dc.state());
  PixelWriter writer(dc, dc.state().rop2);
  for (const DeviceSpan& s : spans) writer.span(s.y, s.x0, s.x1, source);
}

void paint_region(DeviceContext& dc, const Region& region, const BrushTraits& brush) {
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
