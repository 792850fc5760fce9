#include "robustness/sweep_pictures.h"

#include "support/emf_records.h"
#include "support/wmf_records.h"

#include <cstdint>

namespace velmora::test {
namespace {

using W = EmfBuilder;

// A POINTS (16-bit x, y) packed as the one 32-bit word it occupies.
std::uint32_t points16(int x, int y) {
  return (static_cast<std::uint32_t>(y) << 16) | (static_cast<std::uint32_t>(x) & 0xFFFF);
}

// EMR_EXTCREATEPEN with a user dash style: ihPen, offBmi, cbBmi, offBits,
// cbBits, then LOGPEN_EX: style, width, brush style, colour, hatch, the
// number of dash entries and the entries.
void ext_create_pen(EmfBuilder& b, std::uint32_t index) {
  b.record(EMR_EXTCREATEPEN, {index, 0, 0, 0, 0, PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE, 3, BS_SOLID,
                              0x00336699, 0, 2, 6, 2});
}

// EMR_POLYPOLYGON16: bounds, polygon count, total points, the counts, the points.
void poly_polygon16(EmfBuilder& b) {
  b.record(EMR_POLYPOLYGON16, {0, 0, 60, 60, 2, 6, 3, 3, points16(2, 2), points16(30, 4), points16(10, 30),
                               points16(40, 40), points16(60, 42), points16(44, 60)});
}

// EMR_POLYDRAW16: bounds, point count, the points, then one type byte each
// (MS-EMF 2.1.26: 6 moves, 4 is a Bezier point).
void poly_draw16(EmfBuilder& b) {
  constexpr std::uint32_t kMoveTo = 0x06;
  constexpr std::uint32_t kBezierTo = 0x04;
  b.record(EMR_POLYDRAW16, {0, 0, 50, 50, 4, points16(5, 45), points16(20, 10), points16(35, 10), points16(50, 45),
                            kMoveTo | (kBezierTo << 8) | (kBezierTo << 16) | (kBezierTo << 24)});
}

// EMR_GRADIENTFILL: bounds, vertex count, rectangle count, mode, two
// TRIVERTEX (x, y, then 16-bit red, green, blue, alpha), one GRADIENT_RECT.
void gradient_fill(EmfBuilder& b) {
  b.record(EMR_GRADIENTFILL, {0, 0, 40, 20, 2, 1, GRADIENT_FILL_RECT_H, 0, 0, 0xFF000000, 0x00000000, 40, 20,
                              0x00000000, 0x0000FF00, 0, 1});
}

Bytes shapes_and_paths() {
  EmfBuilder b;
  b.create_pen(1, PS_DASH, 1, 0x000000FF).create_brush(2, BS_HATCHED, 0x0000FF00, HS_DIAGCROSS);
  ext_create_pen(b, 3);
  b.select_object(1).select_object(2).rectangle(4, 4, 40, 30).ellipse(10, 10, 70, 50);
  b.record(EMR_ROUNDRECT, {5, 5, 60, 40, 12, 8}).record(EMR_PIE, {0, 0, 50, 50, 50, 25, 25, 0});
  b.record(EMR_ANGLEARC, {30, 30, 20, W::f(30.0f), W::f(200.0f)});
  b.polygon16({{1, 1}, {50, 3}, {20, 60}}).polyline16({{0, 70}, {30, 40}, {70, 70}});
  b.polybezier16({{0, 0}, {20, 60}, {40, -20}, {70, 40}});
  poly_polygon16(b);
  poly_draw16(b);
  b.select_object(3).record(EMR_BEGINPATH, {}).move_to(5, 5).line_to(60, 10).polybezierto16({{70, 30}, {40, 60}, {10, 50}});
  b.record(EMR_CLOSEFIGURE, {}).record(EMR_ENDPATH, {}).record(EMR_STROKEANDFILLPATH, {0, 0, 70, 70});
  gradient_fill(b);
  return b.select_stock(BLACK_PEN).delete_object(1).delete_object(3).bytes();
}

Bytes text() {
  EmfBuilder b;
  create_font(b, 1, FontTraits{.height = -14, .escapement = 300, .italic = true});
  b.select_object(1).set_text_color(0x00202080).set_bk_mode(OPAQUE);
  set_text_align(b, TA_BASELINE | TA_CENTER);
  text_out(b, 40, 30, u"Wq\u00e9", 0, {0, 0, -1, -1}, {9, 8, 7});
  text_out(b, 5, 50, u"clip", ETO_OPAQUE | ETO_CLIPPED, {2, 40, 30, 60});
  b.ext_text_out_w({10, 10}, u"adv", {4, 5, 6}, 0, {0, 0, 0, 0}, GM_ADVANCED);
  return b.select_stock(SYSTEM_FONT).delete_object(1).bytes();
}

// EMR_CREATEPALETTE: ihPal, then LOGPALETTE: version 0x300 and two entries
// (16 bits each), the entries as red, green, blue, flags.
void create_palette(EmfBuilder& b, std::uint32_t index) {
  b.record(EMR_CREATEPALETTE, {index, 0x300 | (2u << 16), 0x000000FF, 0x00FF0000});
}

Bytes bitmaps() {
  const Dib photo = make_dib(3, 2, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, 0x808080});
  Dib rle;
  rle.width = 4;
  rle.height = 2;
  rle.bit_count = 8;
  rle.compression = BI_RLE8;
  rle.colors = {0x00FF0000, 0x0000FF00};
  rle.bits = {4, 1, 0, 0, 2, 0, 0, 2, 1, 0, 0, 1};  // run, run, end of line, delta, end of bitmap
  EmfBuilder b;
  create_palette(b, 1);
  b.record(EMR_SELECTPALETTE, {1}).record(EMR_REALIZEPALETTE, {});
  stretch_dib(b, photo, 2, 2, 30, 20);
  stretch_dib(b, rle, 30, 30, 40, 20, SRCINVERT);
  bit_blt(b, &photo, 50, 5, 3, 2, SRCCOPY);
  bit_blt(b, nullptr, 0, 60, 20, 10, PATINVERT);
  create_dib_pattern_brush(b, 2, photo);
  b.select_object(2).rectangle(40, 40, 70, 70).select_stock(WHITE_BRUSH).delete_object(2);
  return b.record(EMR_SELECTPALETTE, {ENHMETA_STOCK_OBJECT | DEFAULT_PALETTE}).delete_object(1).bytes();
}

Bytes clipping_and_transforms() {
  EmfBuilder b;
  b.save_dc().set_map_mode(MM_ANISOTROPIC).set_window_ext(100, 100).set_viewport_ext(80, 60);
  b.set_world_transform({0.9f, 0.2f, -0.2f, 0.9f, 5.0f, 3.0f});
  b.modify_world_transform({1.5f, 0.0f, 0.0f, 1.5f, 0.0f, 0.0f}, MWT_LEFTMULTIPLY);
  b.intersect_clip_rect(5, 5, 60, 60);
  exclude_clip_rect(b, 20, 20, 30, 30);
  select_clip_rects(b, {{0, 0, 40, 40}, {45, 10, 70, 70}}, RGN_OR);
  b.record(EMR_OFFSETCLIPRGN, {3, 4}).select_stock(GRAY_BRUSH).rectangle(0, 0, 90, 90);
  b.record(EMR_BEGINPATH, {}).ellipse(10, 10, 50, 40).record(EMR_ENDPATH, {});
  b.record(EMR_SELECTCLIPPATH, {RGN_AND}).select_stock(BLACK_BRUSH).rectangle(0, 0, 90, 90);
  return b.restore_dc(-1).record(EMR_SETPIXELV, {3, 3, 0x000000FF}).bytes();
}

Bytes wmf_shapes() {
  WmfBuilder b;
  set_map_mode(b, MM_ANISOTROPIC);
  b.set_window_org(0, 0).set_window_ext(100, 100);
  create_pen(b, PS_DOT, 1, 0x00FF0000);
  create_brush(b, BS_HATCHED, 0x0000FF00, HS_CROSS);
  create_palette(b);
  select_object(b, 0);
  select_object(b, 1);
  select_palette(b, 2);
  b.rectangle(5, 5, 60, 40);
  polygon(b, {{1, 1}, {80, 10}, {30, 90}});
  poly_polygon(b, {{{0, 0}, {20, 0}, {10, 20}}, {{50, 50}, {90, 50}, {70, 90}}});
  delete_object(b, 0);
  return b.bytes();
}

Bytes wmf_text_bitmaps_clip() {
  WmfBuilder b;
  save_dc(b);
  intersect_clip_rect(b, 2, 2, 90, 90);
  create_font(b, -12, FW_BOLD, 0, "Liberation Serif");
  select_object(b, 0);
  set_text_color(b, 0x00000080);
  text_out(b, 10, 20, "Hello");
  ext_text_out(b, 5, 60, ETO_OPAQUE | ETO_CLIPPED, {0, 50, 60, 70}, "clip", {7, 7, 7, 7});
  stretch_dib(b, SRCCOPY, {10, 10, 30, 30}, {0, 0, 2, 2}, tiny_dib());
  dib_pattern_brush(b, tiny_dib());
  select_object(b, 1);
  dib_bitblt_without_bitmap(b, PATCOPY, 40, 40, 20, 20);
  restore_dc(b, -1);
  return b.bytes();
}

}  // namespace

std::vector<SweepPicture> emf_sweep_pictures() {
  return {{"shapes_and_paths", shapes_and_paths()},
          {"text", text()},
          {"bitmaps", bitmaps()},
          {"clipping_and_transforms", clipping_and_transforms()}};
}

std::vector<SweepPicture> wmf_sweep_pictures() {
  return {{"wmf_shapes", wmf_shapes()}, {"wmf_text_bitmaps_clip", wmf_text_bitmaps_clip()}};
}

}  // namespace velmora::test
