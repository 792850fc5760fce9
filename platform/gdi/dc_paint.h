// The one bridge from a device context to its pixels: what the context's
// state (surface, clip region, raster operation, brush, pen, colours,
// background mode, brush origin, palette) means for the pixel writers of
// raster/, which know no context. The player draws only through here.
//
// Geometry is in device coordinates of the selected surface.
#pragma once

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
#include "gdi/path.h"
#include "raster/blit.h"
#include "raster/brush_source.h"
#include "raster/gradient_fill.h"
#include "raster/pattern.h"
#include "raster/target.h"
#include "region/region.h"

#include <agg_path_storage.h>

#include <cstdint>

namespace velmora::platform {

// A device coordinate rounded to a whole pixel and kept within a range far
// beyond any surface, yet safely inside int and AGG's fixed-point
// arithmetic after clipping (NaN goes to the low end).
LONG device_coordinate(double v);

// The context's surface and clip region.
Target paint_target(const DeviceContext& dc);
// A brush as the state (colours, background mode, origin, palette) paints it.
BrushSource brush_source(const BrushTraits& brush, const DcState& state);
// A colour as a pixel word, PALETTEINDEX colours looked up in the state's palette.
std::uint32_t pixel_color(COLORREF color, const DcState& state);

// Areas in GDI's convention (pixel (x, y) is the point (x, y); left and top
// edges inside, right and bottom ones outside), filled aliased with the
// brush by the rule under the context's ROP2.
void fill_area(DeviceContext& dc, const DevicePath& area, FillRule rule, const BrushTraits& brush);
// A path in AGG's convention filled with one colour under the context's ROP2.
void fill_solid(DeviceContext& dc, agg::path_storage& path, COLORREF color);
// Glyph outlines in AGG's convention, anti-aliased in the colour given.
void fill_glyphs(DeviceContext& dc, agg::path_storage& glyphs, COLORREF color);
// Every rectangle of a device region with a brush under the context's ROP2.
void paint_region(DeviceContext& dc, const Region& region, const BrushTraits& brush);
// Every pixel of a region turned to its inverse, whatever the ROP2.
void invert_region(DeviceContext& dc, const Region& region);
// One pixel, not subject to ROP2.
void set_pixel(DeviceContext& dc, int x, int y, COLORREF color);

// The outline stroked with the pen; `scale` converts the pen's logical width
// and dash lengths to device pixels.
void stroke_outline(DeviceContext& dc, const DevicePath& outline, const PenTraits& pen, double scale);
// The pen's width in device pixels, and whether it draws as a one-pixel
// cosmetic line at that width.
double device_pen_width(const PenTraits& pen, double scale);
bool draws_cosmetic(const PenTraits& pen, double scale);

// The context's brush as a raster operation's pattern. PatBlt paints a
// hatch's background whatever the background mode.
class DcBrushPattern final : public PatternSampler {
 public:
  explicit DcBrushPattern(const DcState& state);
  bool paints_nothing() const { return source_.paints_nothing(); }
  std::uint32_t at(int x, int y) const override { return source_.at(x, y).value_or(0); }
  std::optional<std::uint32_t> uniform() const override;

 private:
  BrushSource source_;
};

// The blits and gradients of raster/blit.h and raster/gradient_fill.h on
// the context's surface, inside its clip.
bool blit(DeviceContext& dc, const Placement& placement, const BlitSource& source, const RopBlit& op);
bool transparent_blit(DeviceContext& dc, const Placement& placement, const BlitSource& source,
                      std::uint32_t transparent);
bool alpha_blend(DeviceContext& dc, const Placement& placement, const BlitSource& source, BLENDFUNCTION blend);
void gradient_fill_rect(DeviceContext& dc, const GradientVertex& a, const GradientVertex& b, bool vertical);
void gradient_fill_triangle(DeviceContext& dc, const GradientVertex& a, const GradientVertex& b,
                            const GradientVertex& c);

}  // namespace velmora::platform
