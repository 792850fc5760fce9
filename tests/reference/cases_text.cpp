#include "reference/cases.h"

#include "support/emf_records.h"

namespace velmora::test {
namespace {

constexpr COLORREF kInk = RGB(20, 20, 120);

// A cross marks the reference point so that alignment can be seen.
void mark(EmfBuilder& b, int x, int y) {
  b.create_pen(20, PS_SOLID, 0, RGB(230, 60, 60)).select_object(20);
  b.move_to(x - 4, y).line_to(x + 5, y).move_to(x, y - 4).line_to(x, y + 5);
}

ReferenceCase align_case(const char* name, UINT align) {
  return {"text", name, 128, 48, [align](EmfBuilder& b) {
            create_font(b, 1, FontTraits{});
            b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
            set_text_align(b, align);
            text_out(b, 64, 24, u"Align");
            mark(b, 64, 24);
          }};
}

// Fonts 1 and 2 turned by 90 and 270 degrees.
void create_turned_fonts(EmfBuilder& b) {
  FontTraits quarter;
  quarter.escapement = quarter.orientation = 900;
  create_font(b, 1, quarter);
  FontTraits three_quarters;
  three_quarters.escapement = three_quarters.orientation = 2700;
  create_font(b, 2, three_quarters);
  b.set_bk_mode(TRANSPARENT).set_text_color(kInk);
}

// In a y-up logical space: the 90-degree font from near the top, the
// 270-degree one from near the bottom, each with its reference point marked.
void draw_turned_pair(EmfBuilder& b) {
  b.select_object(1);
  text_out(b, 12, 88, u"Down");
  b.select_object(2);
  text_out(b, 60, 8, u"Up");
  mark(b, 12, 88);
  mark(b, 60, 8);
}

}  // namespace

std::vector<ReferenceCase> text_cases() {
  std::vector<ReferenceCase> cases;
  cases.push_back(align_case("align_left_top", TA_LEFT | TA_TOP));
  cases.push_back(align_case("align_center_baseline", TA_CENTER | TA_BASELINE));
  cases.push_back(align_case("align_right_bottom", TA_RIGHT | TA_BOTTOM));
  cases.push_back({"text", "turned_45_degrees", 96, 96, [](EmfBuilder& b) {
                     FontTraits f;
                     f.escapement = f.orientation = 450;
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 10, 80, u"Turned");
                   }});
  // The opaque background of a turned run: where does the box go?
  cases.push_back({"text", "turned_opaque_background", 128, 96, [](EmfBuilder& b) {
                     FontTraits f;
                     f.escapement = f.orientation = 600;
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(OPAQUE).set_bk_color(RGB(250, 220, 80)).set_text_color(kInk);
                     text_out(b, 16, 84, u"Turned box");
                     mark(b, 16, 84);
                   }});
  cases.push_back({"text", "opaque_background", 128, 48, [](EmfBuilder& b) {
                     create_font(b, 1, FontTraits{});
                     b.select_object(1).set_bk_mode(OPAQUE).set_bk_color(RGB(250, 220, 80)).set_text_color(kInk);
                     text_out(b, 8, 12, u"Opaque");
                   }});
  cases.push_back({"text", "advance_array", 128, 48, [](EmfBuilder& b) {
                     create_font(b, 1, FontTraits{});
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 8, 12, u"Spaced", 0, {0, 0, -1, -1}, {18, 18, 18, 18, 18, 18});
                   }});
  cases.push_back({"text", "styles_and_faces", 160, 96, [](EmfBuilder& b) {
                     b.set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     FontTraits serif;
                     serif.face = u"Times New Roman";
                     serif.weight = FW_BOLD;
                     FontTraits mono;
                     mono.face = u"Courier New";
                     mono.italic = true;
                     FontTraits lined;
                     lined.face = u"Arial";
                     lined.underline = lined.strike_out = true;
                     create_font(b, 1, serif);
                     b.select_object(1);
                     text_out(b, 6, 4, u"Serif bold");
                     create_font(b, 2, mono);
                     b.select_object(2);
                     text_out(b, 6, 34, u"Mono italic");
                     create_font(b, 3, lined);
                     b.select_object(3);
                     text_out(b, 6, 64, u"Underlined");
                   }});
  cases.push_back({"text", "cell_height_positive", 128, 48, [](EmfBuilder& b) {
                     FontTraits f;
                     f.height = 30;  // positive: cell height, not character height
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 4, 6, u"Cell 30");
                   }});
  cases.push_back({"text", "clipped_rectangle", 128, 48, [](EmfBuilder& b) {
                     FontTraits f;
                     f.height = -28;
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 4, 6, u"Clipped", ETO_CLIPPED | ETO_OPAQUE, {10, 10, 90, 30});
                   }});
  // Hinted runs are aligned in whole pixels measured from the logical
  // origin: at 1.145 pixels a unit with the origin at (34.35, 34.35), the
  // top and bottom runs sit a pixel lower and higher, the right-aligned and
  // centred runs (31 units wide by their advance) a pixel further left,
  // than their metrics and width rounded on their own would put them.
  cases.push_back({"text", "aligned_from_off_pixel_origin", 160, 96, [](EmfBuilder& b) {
                     b.set_map_mode(MM_ANISOTROPIC).set_window_ext(400, 400).set_viewport_ext(458, 458);
                     b.set_window_org(-30, -30);
                     FontTraits f;
                     f.height = -10;
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     const std::vector<std::int32_t> dx{31};
                     const struct {
                       UINT align;
                       int x, y;
                     } runs[] = {{TA_LEFT | TA_TOP, -20, -20},
                                 {TA_LEFT | TA_BOTTOM, -20, 30},
                                 {TA_RIGHT | TA_TOP, 100, -20},
                                 {TA_CENTER | TA_TOP, 71, 30}};
                     for (const auto& run : runs) {
                       set_text_align(b, run.align);
                       text_out(b, run.x, run.y, u"H", 0, {0, 0, -1, -1}, dx);
                       mark(b, run.x, run.y);
                     }
                   }});
  // A mapping that mirrors y turns the escapement the other way: 90 degrees
  // runs down the device, 270 up, with the glyphs upright.
  cases.push_back({"text", "turned_in_y_up_window", 96, 96, [](EmfBuilder& b) {
                     create_turned_fonts(b);
                     b.set_map_mode(MM_ANISOTROPIC).set_window_ext(96, -96).set_viewport_ext(96, 96);
                     b.set_viewport_org(0, 96);
                     draw_turned_pair(b);
                   }});
  cases.push_back({"text", "turned_in_y_up_world", 96, 96, [](EmfBuilder& b) {
                     create_turned_fonts(b);
                     b.set_world_transform(XFORM{1, 0, 0, -1, 0, 96});
                     draw_turned_pair(b);
                   }});
  return cases;
}

}  // namespace velmora::test
