#include "reference/cases.h"

#include "support/emf_records.h"

namespace velmora::test {
namespace {

constexpr COLORREF kRed = RGB(220, 40, 40);
constexpr COLORREF kBlue = RGB(30, 60, 200);
constexpr COLORREF kYellow = RGB(250, 210, 40);

// Fills the whole canvas with a null-pen rectangle of the current brush.
void fill_canvas(EmfBuilder& b) { b.select_stock(NULL_PEN).rectangle(0, 0, 97, 97); }

// A 2 x 2 block of coloured squares, to show what a clip lets through.
void quadrants(EmfBuilder& b) {
  b.create_brush(9, BS_SOLID, kBlue).select_object(9);
  fill_canvas(b);
}

ReferenceCase clip_mode_case(const char* name, int mode) {
  return {"clip", name, 96, 96, [mode](EmfBuilder& b) {
            select_clip_rects(b, {{8, 8, 60, 60}}, RGN_COPY);
            select_clip_rects(b, {{36, 36, 88, 88}}, mode);
            quadrants(b);
          }};
}

}  // namespace

std::vector<ReferenceCase> brush_cases() {
  std::vector<ReferenceCase> cases;
  cases.push_back({"brushes", "hatch_styles_transparent", 96, 96, [](EmfBuilder& b) {
                     b.set_bk_mode(TRANSPARENT).select_stock(NULL_PEN);
                     for (int i = 0; i < 6; ++i) {
                       b.create_brush(1 + i, BS_HATCHED, kBlue, static_cast<std::uint32_t>(i)).select_object(1 + i);
                       const int x = (i % 3) * 32, y = (i / 3) * 48;
                       b.rectangle(x + 2, y + 2, x + 31, y + 46);
                     }
                   }});
  cases.push_back({"brushes", "hatch_opaque_background", 96, 96, [](EmfBuilder& b) {
                     b.set_bk_mode(OPAQUE).set_bk_color(kYellow);
                     b.create_brush(1, BS_HATCHED, kRed, HS_DIAGCROSS).select_object(1);
                     b.select_stock(NULL_PEN).ellipse(4, 4, 92, 92);
                   }});
  // Background modes and colours changed between fills of one selected
  // hatch (left: opaque white, then transparent; middle: transparent, then
  // opaque; right: selected again). The reference player keeps each hatch's
  // first background until it is selected again.
  cases.push_back({"brushes", "hatch_background_kept_from_first_fill", 96, 96, [](EmfBuilder& b) {
                     b.create_brush(1, BS_SOLID, kYellow).select_object(1);
                     fill_canvas(b);
                     b.set_bk_mode(OPAQUE).set_bk_color(RGB(255, 255, 255));
                     b.create_brush(2, BS_HATCHED, kBlue, HS_FDIAGONAL).select_object(2);
                     b.rectangle(4, 4, 30, 46).set_bk_color(kRed).set_bk_mode(TRANSPARENT).rectangle(4, 50, 30, 92);
                     b.create_brush(3, BS_HATCHED, kBlue, HS_BDIAGONAL).select_object(3);
                     b.rectangle(34, 4, 60, 46).set_bk_mode(OPAQUE).rectangle(34, 50, 60, 92);
                     b.select_object(1).select_object(2).rectangle(64, 4, 92, 92);
                   }});
  cases.push_back({"brushes", "dib_pattern_brush", 96, 96, [](EmfBuilder& b) {
                     std::vector<std::uint32_t> px(8 * 8);
                     for (int y = 0; y < 8; ++y)
                       for (int x = 0; x < 8; ++x) px[y * 8 + x] = (x < 4) != (y < 4) ? 0xDC2828 : 0xFAD228;
                     create_dib_pattern_brush(b, 1, make_dib(8, 8, 24, px));
                     b.select_object(1);
                     b.select_stock(NULL_PEN).rectangle(5, 5, 91, 91);
                   }});
  cases.push_back({"brushes", "stock_brushes", 96, 96, [](EmfBuilder& b) {
                     const int stock[] = {BLACK_BRUSH, DKGRAY_BRUSH, GRAY_BRUSH, LTGRAY_BRUSH};
                     b.select_stock(BLACK_PEN);
                     for (int i = 0; i < 4; ++i) b.select_stock(stock[i]).rectangle(4 + 22 * i, 10, 24 + 22 * i, 86);
                   }});
  loosen(cases, "hatch_opaque_background", 0.005,
         "single edge pixels of the flattened ellipse sit one pixel off the platform's digitiser");
  return cases;
}

std::vector<ReferenceCase> clip_cases() {
  std::vector<ReferenceCase> cases;
  cases.push_back({"clip", "intersect_clip_rect", 96, 96, [](EmfBuilder& b) {
                     b.intersect_clip_rect(20, 10, 70, 80);
                     quadrants(b);
                   }});
  cases.push_back({"clip", "exclude_clip_rect", 96, 96, [](EmfBuilder& b) {
                     exclude_clip_rect(b, 20, 10, 70, 80);
                     quadrants(b);
                   }});
  cases.push_back(clip_mode_case("combine_and", RGN_AND));
  cases.push_back(clip_mode_case("combine_or", RGN_OR));
  cases.push_back(clip_mode_case("combine_xor", RGN_XOR));
  cases.push_back(clip_mode_case("combine_diff", RGN_DIFF));
  cases.push_back(clip_mode_case("combine_copy", RGN_COPY));
  cases.push_back({"clip", "save_and_restore", 96, 96, [](EmfBuilder& b) {
                     b.save_dc().intersect_clip_rect(10, 10, 40, 40);
                     quadrants(b);
                     b.restore_dc(-1);
                     b.create_brush(8, BS_SOLID, kRed).select_object(8);
                     b.rectangle(50, 50, 90, 90);
                   }});
  cases.push_back({"clip", "clip_path", 96, 96, [](EmfBuilder& b) {
                     b.record(EMR_BEGINPATH, {}).ellipse(6, 6, 90, 90).record(EMR_ENDPATH, {});
                     b.record(EMR_SELECTCLIPPATH, {RGN_COPY});
                     b.create_brush(8, BS_HATCHED, kRed, HS_CROSS).select_object(8);
                     fill_canvas(b);
                   }});
  cases.push_back({"clip", "offset_clip", 96, 96, [](EmfBuilder& b) {
                     b.intersect_clip_rect(10, 10, 50, 50);
                     b.record(EMR_OFFSETCLIPRGN, {30, 20});
                     quadrants(b);
                   }});
  cases.push_back({"clip", "intersect_rotated", 96, 96, [](EmfBuilder& b) {
                     // Turned by 30 degrees: the clip is the box between the two mapped corners.
                     b.set_world_transform(XFORM{0.866025f, 0.5f, -0.5f, 0.866025f, 48, 0});
                     b.intersect_clip_rect(0, 0, 40, 40);
                     b.set_world_transform(XFORM{1, 0, 0, 1, 0, 0});
                     quadrants(b);
                   }});
  cases.push_back({"clip", "meta_region_reset", 96, 96, [](EmfBuilder& b) {
                     b.intersect_clip_rect(10, 10, 60, 60).record(EMR_SETMETARGN, {});
                     b.intersect_clip_rect(40, 40, 90, 90).record(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
                     quadrants(b);
                   }});
  cases.push_back({"clip", "exclude_then_offset", 96, 96, [](EmfBuilder& b) {
                     // Without a clip region, exclusion starts from the whole surface, which moves too.
                     exclude_clip_rect(b, 20, 20, 60, 60);
                     b.record(EMR_OFFSETCLIPRGN, {10, 10});
                     quadrants(b);
                   }});
  cases.push_back({"clip", "clip_strokes", 96, 96, [](EmfBuilder& b) {
                     select_clip_rects(b, {{20, 14, 76, 40}, {8, 40, 88, 82}}, RGN_COPY);
                     b.create_pen(7, PS_SOLID, 5, kRed).select_object(7).select_stock(NULL_BRUSH);
                     b.ellipse(4, 4, 92, 92).move_to(0, 48).line_to(96, 20);
                   }});
  cases.push_back({"clip", "region_records", 96, 96, [](EmfBuilder& b) {
                     b.create_brush(9, BS_SOLID, kBlue).select_object(9);
                     region_record(b, EMR_FRAMERGN, {9, 3, 6}, {{10, 10, 40, 40}, {20, 40, 60, 70}});
                     region_record(b, EMR_FILLRGN, {9}, {{50, 5, 90, 30}});
                     region_record(b, EMR_INVERTRGN, {}, {{60, 20, 80, 50}});
                     b.create_brush(8, BS_HATCHED, kRed, HS_CROSS).select_object(8);
                     region_record(b, EMR_PAINTRGN, {}, {{5, 75, 40, 90}, {45, 80, 90, 92}});
                   }});
  loosen(cases, "clip_path", 0.025, "the clip path's curve edge pixels sit one pixel off the platform's digitiser");
  loosen(cases, "clip_strokes", 0.18, "the edges of wide diagonal strokes step at other pixels");
  return cases;
}

}  // namespace velmora::test
