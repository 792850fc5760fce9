#include "emf/text_drawing.h"

#include "common/limits.h"
#include "gdi/dc_paint.h"
#include "text/text_layout.h"
#include "text/text_space.h"

#include <algorithm>
#include <cmath>

namespace velmora::platform {
namespace {

constexpr auto kCoordinateLimit = limits::kMaxLongCoordinate;

LONG rounded(double v) { return static_cast<LONG>(std::lround(std::clamp(v, -kCoordinateLimit, kCoordinateLimit))); }

// Text and its rectangles ignore the binary raster operation, as the
// platform's text output does; this sets it to plain copying for a while.
class CopyRopScope {
 public:
  explicit CopyRopScope(DcState& state) : state_(state), saved_(state.rop2) { state.rop2 = R2_COPYPEN; }
  ~CopyRopScope() { state_.rop2 = saved_; }
  CopyRopScope(const CopyRopScope&) = delete;
  CopyRopScope& operator=(const CopyRopScope&) = delete;

 private:
  DcState& state_;
  int saved_;
};

// Narrows the DC's clip to a device box for a while (ETO_CLIPPED).
class ClipBoxScope {
 public:
  ClipBoxScope(DeviceContext& dc, const std::optional<agg::rect_d>& box) : state_(dc.state()), saved_(state_.clip) {
    if (!box) return;
    const RECT rect{rounded(box->x1), rounded(box->y1), rounded(box->x2), rounded(box->y2)};
    const Surface& s = dc.surface();
    const Region current = saved_ ? *saved_ : Region::from_rect({0, 0, s.width, s.height});
    state_.clip = current.intersected(Region::from_rect(rect));
  }
  ~ClipBoxScope() { state_.clip = std::move(saved_); }
  ClipBoxScope(const ClipBoxScope&) = delete;
  ClipBoxScope& operator=(const ClipBoxScope&) = delete;

 private:
  DcState& state_;
  std::optional<Region> saved_;
};

RECTL to_rectl(const RECT& r) { return RECTL{r.left, r.top, r.right, r.bottom}; }

TextLayoutInput layout_input(DeviceContext& dc, const TextOut& text, int graphics_mode) {
  const DcState& s = dc.state();
  TextLayoutInput in;
  in.font = font_request_from(s.font_traits);
  in.codes = text.codes;
  in.glyph_indices = (text.options & ETO_GLYPH_INDEX) != 0;
  in.dx = text.dx;
  in.dy = text.dy;
  const POINT origin = (s.text_align & TA_UPDATECP) ? s.current_position : text.reference;
  in.x = origin.x;
  in.y = origin.y;
  in.align = s.text_align;
  in.char_extra = s.text_char_extra;
  in.break_extra = s.break_extra;
  in.break_count = s.break_count;
  in.advanced_mode = graphics_mode == GM_ADVANCED;
  in.world = s.world;
  in.page = dc.page_transform() * dc.record_to_device();
  in.realised_scale = y_axis_scale(dc.page_transform());
  in.opaque_background = s.bk_mode == OPAQUE;
  if (text.rect && (text.options & ETO_OPAQUE)) in.opaque_rect = to_rectl(*text.rect);
  if (text.rect && (text.options & ETO_CLIPPED)) in.clip_rect = to_rectl(*text.rect);
  const Surface& surface = dc.surface();
  in.visible = agg::rect_d{-1.0, -1.0, surface.width + 1.0, surface.height + 1.0};
  return in;
}

void paint(DeviceContext& dc, TextGeometry& g) {
  DcState& s = dc.state();
  CopyRopScope rop(s);
  const COLORREF background = s.bk_color;
  const COLORREF foreground = s.text_color;
  if (g.opaque_rect.total_vertices() > 0) fill_solid(dc, g.opaque_rect, background);
  ClipBoxScope clip(dc, g.clip_box);
  if (g.background.total_vertices() > 0) fill_solid(dc, g.background, background);
  if (g.glyphs.total_vertices() > 0) {
    if (g.aliased_glyphs)
      fill_solid(dc, g.glyphs, foreground);
    else
      fill_glyphs(dc, g.glyphs, foreground);
  }
  if (g.lines.total_vertices() > 0) fill_solid(dc, g.lines, foreground);
}

}  // namespace

void draw_text_out(DeviceContext& dc, const TextOut& text, int graphics_mode) {
  if (dc.surface().empty()) return;
  const TextLayoutInput input = layout_input(dc, text, graphics_mode);
  std::optional<TextGeometry> geometry = layout_text(input);
  if (!geometry) return;
  paint(dc, *geometry);
  DcState& s = dc.state();
  if ((s.text_align & TA_UPDATECP) && std::isfinite(geometry->end_x) && std::isfinite(geometry->end_y))
    s.current_position = {rounded(geometry->end_x), rounded(geometry->end_y)};
}

}  // namespace velmora::platform
