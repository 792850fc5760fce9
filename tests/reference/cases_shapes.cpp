#include "reference/cases.h"

namespace velmora::test {
namespace {

constexpr COLORREF kRed = RGB(220, 40, 40);
constexpr COLORREF kBlue = RGB(30, 60, 200);
constexpr COLORREF kGreen = RGB(20, 160, 60);

void pen_and_brush(EmfBuilder& b, int pen_width, COLORREF pen, COLORREF brush) {
  b.create_pen(1, PS_SOLID, pen_width, pen).select_object(1);
  b.create_brush(2, BS_SOLID, brush).select_object(2);
}

std::vector<POINT> star() { return {{48, 6}, {74, 88}, {6, 36}, {90, 36}, {22, 88}}; }

}  // namespace

std::vector<ReferenceCase> shape_cases() {
  std::vector<ReferenceCase> cases;
  cases.push_back({"shapes", "rectangle_pen_and_brush", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 1, kBlue, kRed);
                     b.rectangle(10, 10, 86, 60);
                   }});
  cases.push_back({"shapes", "ellipse_wide_pen", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 6, kBlue, kGreen);
                     b.ellipse(8, 16, 88, 80);
                   }});
  cases.push_back({"shapes", "polygon_alternate", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 1, kBlue, kRed);
                     b.set_poly_fill_mode(ALTERNATE).polygon16(star());
                   }});
  cases.push_back({"shapes", "polygon_winding", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 1, kBlue, kRed);
                     b.set_poly_fill_mode(WINDING).polygon16(star());
                   }});
  cases.push_back({"shapes", "cosmetic_lines", 96, 96, [](EmfBuilder& b) {
                     b.create_pen(1, PS_SOLID, 0, kBlue).select_object(1);
                     for (int i = 0; i < 8; ++i) b.move_to(48, 48).line_to(48 + (i - 4) * 11, i % 2 ? 4 : 92);
                   }});
  cases.push_back({"shapes", "dashed_pens", 96, 96, [](EmfBuilder& b) {
                     const UINT styles[] = {PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
                     for (int i = 0; i < 4; ++i) {
                       b.create_pen(1 + i, styles[i], 1, kBlue).select_object(1 + i);
                       b.move_to(6, 12 + 22 * i).line_to(90, 12 + 22 * i);
                     }
                   }});
  // Each slanted edge moves a wide pen's dashes on by its length cut to whole
  // pixels. The slanted edges run beyond the picture, so only the dashes of
  // the straight runs back in view show how far the pattern moved.
  cases.push_back({"shapes", "wide_dashes_whole_pixel_edges", 160, 48, [](EmfBuilder& b) {
                     // EMR_EXTCREATEPEN: ihPen, no brush bitmap, LOGPEN32 style, width, brush style,
                     // colour, hatch, then the two user style entries.
                     b.record(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                                                 3, BS_SOLID, kBlue, 0, 2, 12, 6});
                     b.select_object(1);
                     const auto excursion = [&b](int y, int beyond, int edges, int dx, int dy) {
                       std::vector<POINT> points{{6, y}, {34, y}, {34, beyond}};
                       int x = 34;
                       for (int i = 0; i < edges; ++i) points.push_back({x += dx, i % 2 ? beyond : beyond + dy});
                       points.push_back({x, y});
                       points.push_back({154, y});
                       b.polyline16(points);
                     };
                     excursion(12, -8, 6, 9, -9);
                     excursion(36, 56, 8, 5, 8);
                   }});
  cases.push_back({"shapes", "round_rect_pie_chord_arc", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 2, kBlue, kGreen);
                     b.record(EMR_ROUNDRECT, {4, 4, 44, 44, 16, 16});
                     b.record(EMR_PIE, {52, 4, 92, 44, 92, 24, 72, 4});
                     b.record(EMR_CHORD, {4, 52, 44, 92, 44, 72, 4, 72});
                     b.record(EMR_ARC, {52, 52, 92, 92, 92, 72, 72, 52});
                   }});
  cases.push_back({"shapes", "bezier_path_stroke_and_fill", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 3, kBlue, kRed);
                     b.record(EMR_BEGINPATH, {}).move_to(8, 80);
                     b.polybezierto16({{20, 0}, {76, 0}, {88, 80}});
                     b.record(EMR_CLOSEFIGURE, {}).record(EMR_ENDPATH, {});
                     b.record(EMR_STROKEANDFILLPATH, {0, 0, 96, 96});
                   }});
  cases.push_back({"shapes", "wide_pen_caps_and_joins", 96, 96, [](EmfBuilder& b) {
                     const UINT ends[] = {PS_ENDCAP_ROUND | PS_JOIN_ROUND, PS_ENDCAP_SQUARE | PS_JOIN_MITER,
                                          PS_ENDCAP_FLAT | PS_JOIN_BEVEL};
                     for (int i = 0; i < 3; ++i) {
                       // EMR_EXTCREATEPEN: ihPen, offBmi, cbBmi, offBits, cbBits, then LOGPEN32 style,
                       // width, brush style, colour, hatch, and no style entries.
                       b.record(EMR_EXTCREATEPEN,
                                {EmfBuilder::u(1 + i), 0, 0, 0, 0, PS_GEOMETRIC | PS_SOLID | ends[i], 9, BS_SOLID,
                                 kBlue, 0, 0});
                       b.select_object(1 + i);
                       b.polyline16({{12, 20 + 28 * i}, {48, 8 + 28 * i}, {84, 20 + 28 * i}});
                     }
                   }});
  cases.push_back({"shapes", "rop2_xor_and_not", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 1, kBlue, kRed);
                     b.rectangle(8, 8, 60, 60);
                     b.set_rop2(R2_XORPEN).create_brush(3, BS_SOLID, kGreen).select_object(3);
                     b.rectangle(36, 36, 88, 88);
                     b.set_rop2(R2_NOT).rectangle(20, 60, 76, 76);
                   }});
  cases.push_back({"shapes", "world_transform_rotation", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 1, kBlue, kRed);
                     // cos 30 = 0.866, sin 30 = 0.5, about (48, 48)
                     b.set_world_transform({0.866f, 0.5f, -0.5f, 0.866f, 30.43f, -17.57f});
                     b.rectangle(20, 30, 76, 66);
                   }});
  cases.push_back({"shapes", "anisotropic_mapping", 96, 96, [](EmfBuilder& b) {
                     pen_and_brush(b, 1, kBlue, kGreen);
                     b.set_map_mode(MM_ANISOTROPIC).set_window_org(-100, -100).set_window_ext(200, 400);
                     b.set_viewport_org(0, 0).set_viewport_ext(96, 96);
                     b.ellipse(-90, -90, 90, 290);
                   }});
  // Where the exact comparison does not hold yet: edge pixels of curves and
  // of diagonal edges, placed by the platform's own digitiser.
  const char* curve_edges = "single edge pixels of flattened curves sit one pixel off the platform's digitiser";
  loosen(cases, "anisotropic_mapping", 0.015, curve_edges);
  loosen(cases, "bezier_path_stroke_and_fill", 0.05, curve_edges);
  loosen(cases, "round_rect_pie_chord_arc", 0.12, curve_edges);
  loosen(cases, "ellipse_wide_pen", 0.06, "the platform widens an ellipse by its pen with a ragged inner edge; ours is smooth");
  loosen(cases, "cosmetic_lines", 0.45, "diagonal cosmetic lines step at other pixels: ties between two equally near pixels break the other way");
  loosen(cases, "wide_pen_caps_and_joins", 0.13, "the edges of wide diagonal strokes step at other pixels");
  loosen(cases, "world_transform_rotation", 0.015, "the edges of a turned rectangle step at other pixels");
  return cases;
}

}  // namespace velmora::test
