#include "resample.h"

#include <agg_image_accessors.h>
#include <agg_image_filters.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>

namespace velmora::core {
namespace {

using PixelFormat = agg::pixfmt_bgra32_pre;
using Accessor = agg::image_accessor_clone<PixelFormat>;
using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;
using SpanGenerator = agg::span_image_resample_rgba_affine<Accessor>;

// Row 0 of the buffer is the top row of the bottom-up bitmap: the stride is
// negative and the buffer starts at the last memory row.
void attach(agg::rendering_buffer& buffer, const PixelMemory& memory) {
  buffer.attach(memory.bits, static_cast<unsigned>(memory.width), static_cast<unsigned>(memory.height),
                -4 * memory.width);
}

// The W x H block at (0, 0), with integer corners; the rasterizer closes it.
void add_block(agg::rasterizer_scanline_aa<>& rasterizer, int width, int height) {
  rasterizer.move_to_d(0.0, 0.0);
  rasterizer.line_to_d(width, 0.0);
  rasterizer.line_to_d(width, height);
  rasterizer.line_to_d(0.0, height);
}

}  // namespace

Pivot resampling_pivot(int capture_width, int capture_height) { return {capture_width / 4, capture_height / 4}; }

// The product of translation by -pivot, rotation, translation by +pivot and
// scaling by 2, written out component by component.
agg::trans_affine resampling_transform(int capture_width, int capture_height, double angle) {
  const Pivot pivot = resampling_pivot(capture_width, capture_height);
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double px = pivot.x;
  const double py = pivot.y;
  return agg::trans_affine(2.0 * c, 2.0 * s, -2.0 * s, 2.0 * c, 2.0 * (px - px * c + py * s),
                           2.0 * (py - px * s - py * c));
}

void resample(const PixelMemory& capture, const PixelMemory& result, int width, int height, double angle) {
  agg::rendering_buffer result_buffer;
  agg::rendering_buffer capture_buffer;
  attach(result_buffer, result);
  attach(capture_buffer, capture);

  PixelFormat result_format(result_buffer);
  agg::renderer_base<PixelFormat> renderer(result_format);
  renderer.clear(agg::rgba8(agg::rgba(0, 0, 0, 0)));

  agg::rasterizer_scanline_aa<> rasterizer;
  add_block(rasterizer, width, height);

  agg::image_filter<agg::image_filter_bilinear> filter;
  agg::span_allocator<agg::rgba8> allocator;
  PixelFormat capture_format(capture_buffer);
  Accessor source(capture_format);
  agg::trans_affine transform = resampling_transform(capture.width, capture.height, angle);
  Interpolator interpolator(transform);
  SpanGenerator generator(source, interpolator, filter);

  agg::scanline_u8 scanline;
  agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, generator);
}

}  // namespace velmora::core
