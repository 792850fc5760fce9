#include "gdi/dc_paint.h"

#include "common/limits.h"
#include "raster/box_spans.h"
#include "raster/glyph_fill.h"
#include "raster/painter.h"
#include "raster/pixel_writer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace velmora::platform {
namespace {

constexpr auto kCoordinateLimit = limits::kMaxPathCoordinate;

LONG ceil_coordinate(double v) { return device_coordinate(std::ceil(v)); }

// Fills sample each pixel at its own coordinates (pixel (x, y) is the point
// (x, y)), with GDI's rule that left and top edges are inside and right and
// bottom ones outside. The aliased fill samples pixel centres with that
// rule, so fills move by half a pixel.
constexpr double kFillShift = 0.5;
// Beyond the rasterizer's own clip margin, so that culled curves change nothing it samples.
constexpr double kFillMargin = 4;

// Areas made only of axis-aligned rectangles that do not overlap are
// painted as spans: their corner pixels cover only a quarter of an
// area-sampled pixel, yet GDI takes the top-left one. More figures than
// this go to the rasterizer (the overlap test is quadratic).
constexpr std::size_t kMaxBoxFigures = 256;

// The pixels of one figure [first, last) when it is an axis-aligned
// rectangle (four or five points, either turn): pixel x is inside when
// left <= x < right, and likewise for rows.
std::optional<RECT> figure_box(const std::vector<DevicePath::Vertex>& v, std::size_t first, std::size_t last) {
  const std::size_t n = last - first;
  if (n < 4 || n > 5) return std::nullopt;
  const auto* p = &v[first];
  for (std::size_t i = 1; i < n; ++i) {
    if (p[i].kind != DevicePath::Kind::LineTo) return std::nullopt;
  }
  if (n == 5 && (p[4].x != p[0].x || p[4].y != p[0].y)) return std::nullopt;
  const bool horizontal_first = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
  const bool vertical_first = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
  if (!horizontal_first && !vertical_first) return std::nullopt;
  return RECT{ceil_coordinate(std::min(p[0].x, p[2].x)), ceil_coordinate(std::min(p[0].y, p[2].y)),
              ceil_coordinate(std::max(p[0].x, p[2].x)), ceil_coordinate(std::max(p[0].y, p[2].y))};
}

bool overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::optional<std::vector<RECT>> disjoint_boxes(const DevicePath& area) {
  const auto& v = area.vertices();
  std::vector<RECT> boxes;
  for (std::size_t first = 0; first < v.size();) {
    std::size_t last = first + 1;
    while (last < v.size() && v[last].kind != DevicePath::Kind::MoveTo) ++last;
    auto box = figure_box(v, first, last);
    if (!box || boxes.size() >= kMaxBoxFigures) return std::nullopt;
    for (const RECT& other : boxes) {
      if (overlap(*box, other)) return std::nullopt;
    }
    boxes.push_back(*box);
    first = last;
  }
  return boxes;
}

// PatBlt and the ROP blits paint a hatch's background whatever the
// background mode.
DcState pattern_state(const DcState& state) {
  DcState opaque;
  opaque.bk_mode = OPAQUE;
  opaque.bk_color = state.bk_color;
  opaque.text_color = state.text_color;
  opaque.brush_origin = state.brush_origin;
  return opaque;
}

void paint_boxes(const Target& target, int rop2, const std::vector<RECT>& boxes, const BrushSource& brush) {
  const int height = target.surface.height;
  std::vector<DeviceSpan> spans;
  for (const RECT& b : boxes) {
    for (int y = std::max<int>(b.top, 0); y < std::min<int>(b.bottom, height); ++y) {
      spans.push_back(DeviceSpan{y, b.left, b.right});
    }
  }
  paint_spans(target, rop2, spans, brush);
}

}  // namespace

LONG device_coordinate(double v) {
  if (!(v > -kCoordinateLimit)) return static_cast<LONG>(-kCoordinateLimit);  // also NaN
  if (v > kCoordinateLimit) return static_cast<LONG>(kCoordinateLimit);
  return static_cast<LONG>(std::lround(v));
}

Target paint_target(const DeviceContext& dc) {
  const auto& clip = dc.state().clip;
  return {dc.surface(), clip ? &*clip : nullptr};
}

std::uint32_t pixel_color(COLORREF color, const DcState& state) { return pixel_of(resolve_color(color, state.palette)); }

BrushSource brush_source(const BrushTraits& brush, const DcState& state) {
  const std::uint32_t foreground = pixel_color(brush.color, state);
  const std::uint32_t background = pixel_color(state.bk_color, state);
  switch (brush.style) {
    case BS_SOLID:
      return BrushSource::solid(foreground);
    case BS_HATCHED:
      return BrushSource::hatch(brush.hatch, foreground,
                                state.bk_mode == OPAQUE ? std::optional(background) : std::nullopt,
                                state.brush_origin);
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
      return BrushSource::pattern(brush.pattern, brush.monochrome, pixel_color(state.text_color, state), background,
                                  state.brush_origin);
    default:
      return BrushSource();
  }
}

void fill_area(DeviceContext& dc, const DevicePath& area, FillRule rule, const BrushTraits& brush) {
  const Target target = paint_target(dc);
  const BrushSource source = brush_source(brush, dc.state());
  if (auto boxes = disjoint_boxes(area)) {
    paint_boxes(target, dc.state().rop2, *boxes, source);
    return;
  }
  const agg::rect_d visible = visible_box(dc.surface(), kFillMargin);
  agg::path_storage fill = area.to_agg(&visible);
  fill.translate(kFillShift, kFillShift);
  fill_path_aliased(target, dc.state().rop2, fill, rule, source);
}

void fill_solid(DeviceContext& dc, agg::path_storage& path, COLORREF color) {
  const Target target = paint_target(dc);
  const BrushSource brush = BrushSource::solid(pixel_color(color, dc.state()));
  if (auto spans = same_turn_box_spans(path, target.surface.height)) {
    // Copying one colour gives a pixel painted twice what it gives once.
    const int rop2 = dc.state().rop2;
    paint_spans(target, rop2, rop2 == R2_COPYPEN ? *spans : union_of_spans(std::move(*spans)), brush);
    return;
  }
  fill_path_aliased(target, dc.state().rop2, path, FillRule::NonZero, brush);
}

void fill_glyphs(DeviceContext& dc, agg::path_storage& glyphs, COLORREF color) {
  fill_glyphs_antialiased(paint_target(dc), glyphs, pixel_of(color));
}

void paint_region(DeviceContext& dc, const Region& region, const BrushTraits& brush) {
  paint_region(paint_target(dc), dc.state().rop2, region, brush_source(brush, dc.state()));
}

void invert_region(DeviceContext& dc, const Region& region) {
  paint_region(paint_target(dc), R2_NOT, region, BrushSource::solid(0));
}

void set_pixel(DeviceContext& dc, int x, int y, COLORREF color) {
  PixelWriter(paint_target(dc), R2_COPYPEN).pixel(x, y, pixel_color(color, dc.state()));
}

DcBrushPattern::DcBrushPattern(const DcState& state) : source_(brush_source(state.brush_traits, pattern_state(state))) {}

std::optional<std::uint32_t> DcBrushPattern::uniform() const {
  if (source_.paints_nothing()) return 0u;
  if (source_.is_solid()) return source_.solid_pixel();
  return std::nullopt;
}

bool blit(DeviceContext& dc, const Placement& placement, const BlitSource& source, const RopBlit& op) {
  return blit(paint_target(dc), placement, source, op);
}

bool transparent_blit(DeviceContext& dc, const Placement& placement, const BlitSource& source,
                      std::uint32_t transparent) {
  return transparent_blit(paint_target(dc), placement, source, transparent);
}

bool alpha_blend(DeviceContext& dc, const Placement& placement, const BlitSource& source, BLENDFUNCTION blend) {
  return alpha_blend(paint_target(dc), placement, source, blend);
}

void gradient_fill_rect(DeviceContext& dc, const GradientVertex& a, const GradientVertex& b, bool vertical) {
  gradient_fill_rect(paint_target(dc), a, b, vertical);
}

void gradient_fill_triangle(DeviceContext& dc, const GradientVertex& a, const GradientVertex& b,
                            const GradientVertex& c) {
  gradient_fill_triangle(paint_target(dc), a, b, c);
}

}  // namespace velmora::platform
