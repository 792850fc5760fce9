// Polygon regions through AGG's scanline rasterizer, used aliased: a pixel
// belongs to the region when at least half of it is covered, which for the
// integer-cornered shapes of region records is the pixel-centre rule.
// scanline32_bin hands back the covered runs of each row; every row becomes a
// one-pixel band and RegionBuilder merges equal rows.
#include "region/region.h"

#include "region/region_builder.h"

#include <agg_gamma_functions.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_bin.h>

#include <vector>

namespace velmora::platform {

namespace {

// AGG keeps coordinates in 24.8 fixed point, so they must stay well inside
// +/- 2^23, and its cell store holds about four million cells (one per row
// per edge); the polygon is clipped to this box first (in double precision),
// which also bounds the rows swept. It is far larger than any surface the
// platform draws on.
constexpr double kPolygonExtent = 1 << 17;

using AliasedRasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

template <class Point>
void add_polygon(AliasedRasterizer& rasterizer, const std::vector<Point>& polygon) {
  if (polygon.size() < 3) return;
  rasterizer.move_to_d(polygon.front().x, polygon.front().y);
  for (std::size_t i = 1; i < polygon.size(); ++i) rasterizer.line_to_d(polygon[i].x, polygon[i].y);
  rasterizer.close_polygon();
}

std::vector<RECT> collect_rows(AliasedRasterizer& rasterizer) {
  RegionBuilder builder;
  if (!rasterizer.rewind_scanlines()) return builder.finish();
  agg::scanline32_bin scanline;  // the 32-bit form: scanline_bin keeps x in 16 bits
  scanline.reset(rasterizer.min_x(), rasterizer.max_x());
  std::vector<Span> spans;
  while (rasterizer.sweep_scanline(scanline)) {
    spans.clear();
    auto span = scanline.begin();
    for (unsigned i = 0; i < scanline.num_spans(); ++i, ++span) {
      spans.push_back(Span{span->x, span->x + span->len});
    }
    builder.add_band(scanline.y(), scanline.y() + 1, spans);
  }
  return builder.finish();
}

void prepare(AliasedRasterizer& rasterizer, FillRule rule) {
  rasterizer.clip_box(-kPolygonExtent, -kPolygonExtent, kPolygonExtent, kPolygonExtent);
  rasterizer.filling_rule(rule == FillRule::EvenOdd ? agg::fill_even_odd : agg::fill_non_zero);
  rasterizer.gamma(agg::gamma_threshold(0.5));
}

}  // namespace

Region Region::from_polygons(const std::vector<std::vector<POINT>>& polygons, FillRule rule) {
  AliasedRasterizer rasterizer;
  prepare(rasterizer, rule);
  for (const std::vector<POINT>& polygon : polygons) add_polygon(rasterizer, polygon);
  return Region(collect_rows(rasterizer));
}

Region Region::from_device_polygons(const std::vector<std::vector<DevicePoint>>& polygons, FillRule rule) {
  AliasedRasterizer rasterizer;
  prepare(rasterizer, rule);
  for (const std::vector<DevicePoint>& polygon : polygons) add_polygon(rasterizer, polygon);
  return Region(collect_rows(rasterizer));
}

}  // namespace velmora::platform
