// The bitmap records beyond plain raster operations: MASKBLT, PLGBLT,
// TRANSPARENTBLT, ALPHABLEND and GRADIENTFILL (MS-EMF 2.3.1).
#include "common/limits.h"
#include "raster/gradient_fill.h"
#include "raster/rop3.h"
#include "emf/bitmap_records.h"
#include "emf/record_fields.h"
#include "emf/record_handlers.h"
#include "gdi/dc_paint.h"
#include "raster/pixel_word.h"

#include <array>
#include <vector>

namespace velmora::platform {
namespace {

// MAKEROP4(SRCCOPY, keep destination): what PlgBlt does where its mask is 0.
constexpr DWORD kCopyWhereMaskIsSet = 0xAACC0020;
using limits::kMaxGradientVertices;
using limits::kMaxGradientShapes;
constexpr std::uint32_t kTriVertexBytes = 16;

struct Mask {
  int x = 0, y = 0;
  RecordDib dib;
};

std::optional<Mask> read_mask(ByteReader& body) {
  auto x = body.read<std::int32_t>();
  auto y = body.read<std::int32_t>();
  auto usage = body.read<std::uint32_t>();
  auto dib = usage ? read_dib_offsets(body, *usage) : std::nullopt;
  if (!x || !y || !dib) return std::nullopt;
  return Mask{*x, *y, *dib};
}

std::optional<std::array<std::int32_t, 4>> read_four(ByteReader& body) {
  std::array<std::int32_t, 4> v{};
  for (std::int32_t& field : v) {
    auto value = body.read<std::int32_t>();
    if (!value) return std::nullopt;
    field = *value;
  }
  return v;
}

// Blits with a decoded source and an optional decoded mask.
void masked_blit(DeviceContext& dc, const Placement& placement, const MappedSource& mapped, DWORD rop,
                 const std::optional<Image32>& mask, const Mask& fields) {
  const DcBrushPattern pattern(dc.state());
  RopBlit op{rop, pattern.paints_nothing() ? nullptr : &pattern, dc.state().stretch_mode};
  if (mask) {
    op.mask = &*mask;
    op.mask_x = fields.x;
    op.mask_y = fields.y;
  }
  blit(dc, mirrored(placement, mapped.mirror_x, mapped.mirror_y), mapped.source, op);
}

// EMR_MASKBLT: rclBounds, xDest, yDest, cxDest, cyDest, dwRop (a ROP4), xSrc,
// ySrc, the source fields, xMask, yMask, iUsageMask, offBmiMask, cbBmiMask,
// offBitsMask, cbBitsMask.
void on_mask_blt(Playback& p, ByteReader body) {
  auto dest = read_rectl(body) ? read_four(body) : std::nullopt;
  auto rop = body.read<std::uint32_t>();
  auto x_src = body.read<std::int32_t>();
  auto y_src = body.read<std::int32_t>();
  auto fields = read_source_fields(body);
  auto mask_fields = read_mask(body);
  if (!dest || !rop || !x_src || !y_src || !fields || !mask_fields) return;
  std::optional<Image32> image = fields->dib.present() ? decode_record_dib(body, fields->dib) : std::nullopt;
  if (fields->dib.present() && !image) return;
  std::optional<Image32> mask = mask_fields->dib.present() ? decode_record_dib(body, mask_fields->dib, MonoMapping::Indices)
                                                           : std::nullopt;
  const auto [x, y, cx, cy] = *dest;
  const Image32* source = image ? &*image : nullptr;
  auto mapped = map_source_rect(source, fields->xform, *x_src, *y_src, cx, cy);
  if (!mapped) return;
  // Without a mask, MaskBlt is the foreground operation alone.
  masked_blit(p.dc(), place_logical_rect(p.dc(), x, y, cx, cy), *mapped, mask ? *rop : (*rop & 0x00FFFFFF), mask,
              *mask_fields);
}

// EMR_PLGBLT: rclBounds, aptlDest[3], xSrc, ySrc, cxSrc, cySrc, the source
// fields, then the mask fields as in MASKBLT. The three points are where the
// source's top-left, top-right and bottom-left corners land.
void on_plg_blt(Playback& p, ByteReader body) {
  if (!read_rectl(body)) return;
  std::optional<POINT> points[3] = {read_pointl(body), read_pointl(body), read_pointl(body)};
  auto src = read_four(body);
  auto fields = read_source_fields(body);
  auto mask_fields = read_mask(body);
  if (!points[0] || !points[1] || !points[2] || !src || !fields || !mask_fields) return;
  auto image = decode_record_dib(body, fields->dib);
  if (!image) return;
  std::optional<Image32> mask = mask_fields->dib.present() ? decode_record_dib(body, mask_fields->dib, MonoMapping::Indices)
                                                           : std::nullopt;
  auto mapped = map_source_rect(&*image, fields->xform, (*src)[0], (*src)[1], (*src)[2], (*src)[3]);
  if (!mapped) return;
  const agg::trans_affine t = p.dc().logical_to_device();
  AffinePlacement placement;
  double* coords[3][2] = {{&placement.top_left_x, &placement.top_left_y},
                          {&placement.top_right_x, &placement.top_right_y},
                          {&placement.bottom_left_x, &placement.bottom_left_y}};
  for (int i = 0; i < 3; ++i) {
    *coords[i][0] = points[i]->x;
    *coords[i][1] = points[i]->y;
    t.transform(coords[i][0], coords[i][1]);
  }
  masked_blit(p.dc(), placement, *mapped, mask ? kCopyWhereMaskIsSet : SRCCOPY, mask, *mask_fields);
}

// The source part shared by TRANSPARENTBLT and ALPHABLEND: xSrc, ySrc, the
// source fields, then cxSrc, cySrc at the end.
struct StretchSource {
  Image32 image;
  MappedSource mapped;
};

std::optional<StretchSource> read_stretch_source(ByteReader& body) {
  auto x_src = body.read<std::int32_t>();
  auto y_src = body.read<std::int32_t>();
  auto fields = read_source_fields(body);
  auto cx_src = body.read<std::int32_t>();
  auto cy_src = body.read<std::int32_t>();
  if (!x_src || !y_src || !fields || !cx_src || !cy_src) return std::nullopt;
  auto image = decode_record_dib(body, fields->dib);
  if (!image) return std::nullopt;
  StretchSource out{std::move(*image), {}};
  auto mapped = map_source_rect(&out.image, fields->xform, *x_src, *y_src, *cx_src, *cy_src);
  if (!mapped) return std::nullopt;
  out.mapped = *mapped;
  return out;
}

// EMR_TRANSPARENTBLT: rclBounds, xDest, yDest, cxDest, cyDest,
// TransparentColor, then the stretch source.
void on_transparent_blt(Playback& p, ByteReader body) {
  auto dest = read_rectl(body) ? read_four(body) : std::nullopt;
  auto color = body.read<std::uint32_t>();
  if (!dest || !color) return;
  auto source = read_stretch_source(body);
  if (!source) return;
  source->mapped.source.image = &source->image;  // the image moved into StretchSource
  DeviceContext& dc = p.dc();
  const auto [x, y, cx, cy] = *dest;
  const Placement placement = mirrored(place_logical_rect(dc, x, y, cx, cy), source->mapped.mirror_x,
                                       source->mapped.mirror_y);
  transparent_blit(dc, placement, source->mapped.source, pixel_of(*color));
}

// EMR_ALPHABLEND: rclBounds, xDest, yDest, cxDest, cyDest, BLENDFUNCTION
// (BlendOp, BlendFlags, SourceConstantAlpha, AlphaFormat), then the stretch source.
void on_alpha_blend(Playback& p, ByteReader body) {
  auto dest = read_rectl(body) ? read_four(body) : std::nullopt;
  auto op = body.read<std::uint8_t>();
  auto flags = body.read<std::uint8_t>();
  auto constant = body.read<std::uint8_t>();
  auto format = body.read<std::uint8_t>();
  if (!dest || !op || !flags || !constant || !format) return;
  auto source = read_stretch_source(body);
  if (!source) return;
  source->mapped.source.image = &source->image;
  DeviceContext& dc = p.dc();
  const auto [x, y, cx, cy] = *dest;
  const Placement placement = mirrored(place_logical_rect(dc, x, y, cx, cy), source->mapped.mirror_x,
                                       source->mapped.mirror_y);
  alpha_blend(dc, placement, source->mapped.source, BLENDFUNCTION{*op, *flags, *constant, *format});
}

std::optional<GradientVertex> read_vertex(ByteReader& body, const agg::trans_affine& t) {
  auto x = body.read<std::int32_t>();
  auto y = body.read<std::int32_t>();
  auto r = body.read<std::uint16_t>();
  auto g = body.read<std::uint16_t>();
  auto b = body.read<std::uint16_t>();
  auto a = body.read<std::uint16_t>();
  if (!x || !y || !r || !g || !b || !a) return std::nullopt;
  GradientVertex v{static_cast<double>(*x), static_cast<double>(*y), *r, *g, *b, *a};
  t.transform(&v.x, &v.y);
  return v;
}

void fill_shape(DeviceContext& dc, const std::vector<GradientVertex>& vertices, const std::uint32_t* index,
                std::uint32_t mode) {
  for (int i = 0; i < (mode == GRADIENT_FILL_TRIANGLE ? 3 : 2); ++i) {
    if (index[i] >= vertices.size()) return;
  }
  const GradientVertex& a = vertices[index[0]];
  const GradientVertex& b = vertices[index[1]];
  if (mode == GRADIENT_FILL_TRIANGLE) return gradient_fill_triangle(dc, a, b, vertices[index[2]]);
  gradient_fill_rect(dc, a, b, mode == GRADIENT_FILL_RECT_V);
}

// EMR_GRADIENTFILL: rclBounds, nVer, nTri, ulMode, nVer TRIVERTEX, then nTri
// GRADIENT_TRIANGLE (three indices) or GRADIENT_RECT (two indices).
void on_gradient_fill(Playback& p, ByteReader body) {
  auto count = read_rectl(body) ? body.read<std::uint32_t>() : std::nullopt;
  auto shapes = body.read<std::uint32_t>();
  auto mode = body.read<std::uint32_t>();
  if (!count || !shapes || !mode || *mode > GRADIENT_FILL_TRIANGLE) return;
  if (*count > kMaxGradientVertices || *shapes > kMaxGradientShapes) return;
  if (body.remaining() / kTriVertexBytes < *count) return;
  const agg::trans_affine t = p.dc().logical_to_device();
  std::vector<GradientVertex> vertices;
  vertices.reserve(*count);
  for (std::uint32_t i = 0; i < *count; ++i) vertices.push_back(*read_vertex(body, t));
  const int per_shape = *mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
  for (std::uint32_t s = 0; s < *shapes; ++s) {
    std::uint32_t index[3] = {0, 0, 0};
    for (int i = 0; i < per_shape; ++i) {
      auto value = body.read<std::uint32_t>();
      if (!value) return;
      index[i] = *value;
    }
    fill_shape(p.dc(), vertices, index, *mode);
  }
}

}  // namespace

void register_blend_handlers(HandlerTable& table) {
  table.add(EMR_MASKBLT, on_mask_blt);
  table.add(EMR_PLGBLT, on_plg_blt);
  table.add(EMR_TRANSPARENTBLT, on_transparent_blt);
  table.add(EMR_ALPHABLEND, on_alpha_blend);
  table.add(EMR_GRADIENTFILL, on_gradient_fill);
}

}  // namespace velmora::platform
