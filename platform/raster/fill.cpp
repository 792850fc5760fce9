#include "raster/painter.h"

#include "raster/pixel_writer.h"
#include "raster/scan_fill.h"

#include <agg_conv_curve.h>

#include <algorithm>

namespace velmora::platform {

void fill_path_aliased(const Target& target, int rop2, agg::path_storage& path, FillRule rule,
                       const BrushSource& brush) {
  PixelWriter writer(target, rop2);
  agg::conv_curve<agg::path_storage> curves(path);
  fill_aliased(writer, curves, rule, brush);
}

void paint_spans(const Target& target, int rop2, std::span<const DeviceSpan> spans, const BrushSource& brush) {
  PixelWriter writer(target, rop2);
  for (const DeviceSpan& s : spans) writer.span(s.y, s.x0, s.x1, brush);
}

void paint_region(const Target& target, int rop2, const Region& region, const BrushSource& brush) {
  PixelWriter writer(target, rop2);
  const int height = target.surface.height;
  for (const RECT& r : region.rects()) {
    const int top = std::max<int>(r.top, 0);
    const int bottom = std::min<int>(r.bottom, height);
    for (int y = top; y < bottom; ++y) writer.span(y, r.left, r.right, brush);
  }
}

}  // namespace velmora::platform
