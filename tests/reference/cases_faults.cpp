// The faults real files showed, one small case each: y advances of a text
// run, how a run is measured and aligned, a font's width under a mapping
// that squeezes one axis, the ways a brush is given its colour, dashes along curves and across
// figures, bitmaps in scaled and flipped mappings, meshes of cells that
// share edges, the frame of plain WMF files, and metafiles nested in
// comments.
#include "reference/cases.h"

#include "support/emf_records.h"
#include "support/wmf_builder.h"

namespace velmora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Colour and comment kinds the platform headers here leave out.
constexpr COLORREF palette_index(std::uint32_t i) { return 0x01000000 | i; }
constexpr COLORREF palette_rgb(int r, int g, int b) { return 0x02000000 | RGB(r, g, b); }
constexpr std::uint32_t kCommentWindowsMetafile = 0x80000001;
constexpr std::uint32_t kCommentMultiformats = 0x40000004;
constexpr int kNonAntialiasedQuality = 3;

constexpr COLORREF kInk = RGB(20, 20, 120);
constexpr COLORREF kBlue = RGB(30, 60, 200);
constexpr COLORREF kRed = RGB(220, 40, 40);

void put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// EMR_CREATEPALETTE with the given colours, selected and realised.
void select_palette(EmfBuilder& b, std::uint32_t index, const std::vector<COLORREF>& colors) {
  Bytes body;
  put32(body, index);
  put16(body, 0x300);  // palVersion
  put16(body, static_cast<std::uint32_t>(colors.size()));
  for (COLORREF c : colors) put32(body, c & 0x00FFFFFF);  // peRed, peGreen, peBlue, peFlags 0
  b.raw(EMR_CREATEPALETTE, body);
  b.record(EMR_SELECTPALETTE, {index}).record(EMR_REALIZEPALETTE, {});
}

const std::vector<COLORREF> kPalette = {RGB(250, 200, 0), RGB(0, 150, 140), RGB(180, 0, 160), RGB(90, 60, 20)};

// An 8 x 8 one-bit checker DIB: its 2-entry colour table as given (RGB
// quads, or two 16-bit palette indices), the rows of alternating bits.
Bytes checker_dib(const Bytes& color_table) {
  Bytes out;
  put32(out, 40);
  put32(out, 8);
  put32(out, 8);
  put16(out, 1);
  put16(out, 1);
  put32(out, BI_RGB);
  put32(out, 32);
  put32(out, 0);
  put32(out, 0);
  put32(out, 2);
  put32(out, 0);
  out.insert(out.end(), color_table.begin(), color_table.end());
  while (out.size() % 4) out.push_back(0);
  for (int row = 0; row < 8; ++row) put32(out, (row / 2) % 2 ? 0x33 : 0xCC);  // 2 x 2 checker squares
  return out;
}

// EMR_CREATEDIBPATTERNBRUSHPT or EMR_CREATEMONOBRUSH with a packed DIB.
void pattern_brush(EmfBuilder& b, std::uint32_t type, std::uint32_t index, std::uint32_t usage, const Bytes& dib,
                   std::size_t info_size) {
  constexpr std::uint32_t kFixed = 32;  // record header and six fields
  Bytes body;
  put32(body, index);
  put32(body, usage);
  put32(body, kFixed);
  put32(body, static_cast<std::uint32_t>(info_size));
  put32(body, kFixed + static_cast<std::uint32_t>(info_size));
  put32(body, static_cast<std::uint32_t>(dib.size() - info_size));
  body.insert(body.end(), dib.begin(), dib.end());
  b.raw(type, body);
}

Bytes rgb_table(COLORREF zero, COLORREF one) {
  Bytes t;
  for (COLORREF c : {zero, one}) put32(t, (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
  return t;
}

// EMR_EXTCREATEPEN without a brush bitmap.
void ext_pen(EmfBuilder& b, std::uint32_t index, DWORD style, int width, COLORREF color) {
  Bytes body;
  put32(body, index);
  for (int i = 0; i < 4; ++i) put32(body, 0);  // no brush bitmap
  put32(body, style);
  put32(body, static_cast<std::uint32_t>(width));
  put32(body, BS_SOLID);
  put32(body, color);
  put32(body, 0);  // elpHatch
  put32(body, 0);  // elpNumEntries
  b.raw(EMR_EXTCREATEPEN, body);
}

void curves(EmfBuilder& b) {
  b.select_stock(NULL_BRUSH);
  b.ellipse(6, 6, 58, 46);
  b.record(EMR_ARC, {62, 6, 120, 64, 120, 36, 62, 36});
  b.polybezier16({{6, 90}, {30, 50}, {60, 130}, {120, 70}});
}

// Two open figures and a closed one in one path, stroked.
void figures(EmfBuilder& b) {
  b.record(EMR_BEGINPATH, {});
  b.move_to(6, 10).line_to(60, 10).line_to(60, 40);
  b.move_to(70, 10).line_to(122, 44);
  b.move_to(10, 60).line_to(60, 90).line_to(10, 90);
  b.record(EMR_CLOSEFIGURE, {});
  b.record(EMR_ENDPATH, {}).record(EMR_STROKEPATH, {0, 0, 128, 96});
}

// A plain WMF whose window is the picture, with an Arial of the given
// height selected, a transparent background and the ink as text colour.
// CREATEFONTINDIRECT: the height, weight 400, the face.
void create_wmf_font(WmfBuilder& w, std::int16_t height, const std::string& face) {
  const auto h = static_cast<std::uint16_t>(height);
  Bytes params{static_cast<std::uint8_t>(h & 0xFF), static_cast<std::uint8_t>(h >> 8), 0, 0, 0, 0, 0, 0, 0x90, 0x01,
               0, 0, 0, 0, 0, 0, 0, 0};
  params.insert(params.end(), face.begin(), face.end());
  params.push_back(0);
  w.raw(0x02FB, params);
}

// Text drawn without a background, in the cases' dark blue ink.
void transparent_ink(WmfBuilder& w) {
  w.record(0x0102, {TRANSPARENT});                                   // SETBKMODE
  w.record(0x0209, {static_cast<std::int16_t>(0x1414), 0x0078});  // SETTEXTCOLOR
}

WmfBuilder wmf_with_arial(std::int16_t width, std::int16_t height, std::int16_t font_height) {
  WmfBuilder w;
  w.objects(1).set_window_org(0, 0).set_window_ext(width, height);
  create_wmf_font(w, font_height, "Arial");
  w.record(0x012D, {0});
  transparent_ink(w);
  return w;
}

Dib four_by_four() {
  std::vector<std::uint32_t> px;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) px.push_back(((x * 60 + 40) << 16) | ((y * 60 + 40) << 8) | ((x + y) % 2 ? 200 : 30));
  return make_dib(4, 4, 24, px);
}

// A GDI comment: "GDIC", its kind, then the given bytes.
void gdi_comment(EmfBuilder& b, std::uint32_t kind, const Bytes& payload) {
  Bytes body;
  put32(body, static_cast<std::uint32_t>(payload.size() + 8));  // cbData
  put32(body, 0x43494447);                                       // "GDIC"
  put32(body, kind);
  body.insert(body.end(), payload.begin(), payload.end());
  b.raw(EMR_GDICOMMENT, body);
}

Bytes red_square_wmf() {
  WmfBuilder w;
  w.objects(1).set_window_org(0, 0).set_window_ext(96, 96);
  w.record(0x02FC, {BS_SOLID, static_cast<std::int16_t>(0x28DC), static_cast<std::int16_t>(0x0028), 0});
  w.record(0x012D, {0});
  w.rectangle(10, 10, 86, 86);
  return w.bytes();
}

std::vector<ReferenceCase> text_faults() {
  std::vector<ReferenceCase> cases;
  // Superscript and subscript placed by the y advances alone.
  cases.push_back({"text", "pdy_advances", 128, 48, [](EmfBuilder& b) {
                     FontTraits f;
                     f.height = -20;
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 8, 14, u"E=mc2xy", ETO_PDY, {0, 0, -1, -1},
                              {13, 0, 12, 0, 17, 0, 11, -8, 12, 8, 11, 6, 11, -6});
                   }});
  ReferenceCase wmf{"text", "pdy_advances_wmf", 128, 48};
  wmf.wmf = [] {
    WmfBuilder w = wmf_with_arial(128, 48, -20);
    // EXTTEXTOUT y, x, count, ETO_PDY, "E=mc2x", then x, y pairs
    w.record(0x0A32, {14, 8, 6, static_cast<std::int16_t>(ETO_PDY), 0x3D45, 0x636D, 0x7832, 13, 0, 12, 0, 17, 0, 11,
                      -8, 12, 8, 11, 0});
    return w.bytes();
  };
  cases.push_back(wmf);
  // A character beyond the first plane split across two records, as Word
  // writes an emoji: each half alone is no character, and the chosen face
  // draws its missing-glyph box for it (no other font is asked).
  cases.push_back({"text", "split_surrogate_pair", 128, 48, [](EmfBuilder& b) {
                     FontTraits f;
                     f.height = -24;
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 8, 10, u"A\xD83D");
                     text_out(b, 48, 10, u"\xDD96" u"B");
                   }});
  // A plain WMF's TEXTOUT has no spacing: the conversion gives it the
  // advances the glyphs are hinted to on the reference device (here 4 by 16
  // pixels a unit), each carried back to whole logical units on its own, so
  // the glyphs land further apart than their hinted advances would put
  // them ("n" 142 pixels there, 36 units, drawn 22 pixels apart).
  ReferenceCase spacing{"text", "converted_run_measured_spacing", 256, 48};
  spacing.wmf = [] {
    WmfBuilder w = wmf_with_arial(256, 48, -16);
    // TEXTOUT count, "llllllllnnnnnnnn", y, x
    w.record(0x0521, {16, 0x6C6C, 0x6C6C, 0x6C6C, 0x6C6C, 0x6E6E, 0x6E6E, 0x6E6E, 0x6E6E, 14, 8});
    // Marks in two corners, so that the picture's drawn bounds are its window.
    w.rectangle(0, 0, 3, 3).rectangle(253, 45, 256, 48);
    return w.bytes();
  };
  cases.push_back(spacing);
  // Right-aligned and centred runs of a plain WMF are aligned by those
  // advances when played. Tahoma's hinting widens "t", "s", "c" and "a" far
  // past their outlines at this size, and the 10 pixels of "a" come back as
  // 12 units, not 13: the scale of 0.8 pixels a unit is held in single
  // precision. The serif face is drawn two-level at its size but measured at
  // its grey-level advances ("g", "u", "n" a pixel wider).
  ReferenceCase aligned{"text", "converted_runs_aligned", 256, 72};
  aligned.wmf = [] {
    WmfBuilder w;
    w.objects(2).set_window_org(0, 0).set_window_ext(1280, 960);  // 0.8 device pixels a unit
    create_wmf_font(w, 28, "Tahoma");
    create_wmf_font(w, -20, "Times New Roman");
    transparent_ink(w);
    w.record(0x012D, {0});
    w.record(0x012E, {TA_RIGHT | TA_TOP});
    // TEXTOUT count, "tscatscatsca", y, x
    w.record(0x0521, {12, 0x7374, 0x6163, 0x7374, 0x6163, 0x7374, 0x6163, 2, 310});
    w.record(0x012E, {TA_CENTER | TA_TOP});
    w.record(0x0521, {8, 0x7374, 0x6163, 0x7374, 0x6163, 32, 160});
    w.record(0x012D, {1});
    w.record(0x012E, {TA_RIGHT | TA_TOP});
    // "Background gun"
    w.record(0x0521, {14, 0x6142, 0x6B63, 0x7267, 0x756F, 0x646E, 0x6720, 0x6E75, 62, 310});
    w.rectangle(0, 0, 3, 3).rectangle(317, 87, 320, 90);
    return w.bytes();
  };
  cases.push_back(aligned);
  // A plain WMF's frame is the box of what it draws, and the conversion
  // counts a run's box in logical units: its advances and its cell, one
  // unit more on each side away from the reference point. An opaque
  // rectangle is painted but not counted, so it falls outside the picture.
  ReferenceCase framed{"text", "converted_frame_of_text_boxes", 128, 64};
  framed.wmf = [] {
    WmfBuilder w;
    w.objects(1).set_window_org(0, 0).set_window_ext(1024, 768);  // a pixel a unit
    create_wmf_font(w, -20, "Arial");
    transparent_ink(w);
    w.record(0x012D, {0});
    w.record(0x012E, {TA_CENTER | TA_BASELINE});
    // TEXTOUT count, "Frame", y, x
    w.record(0x0521, {5, 0x7246, 0x6D61, 0x0065, 40, 100});
    w.record(0x012E, {TA_RIGHT | TA_TOP});
    w.record(0x0521, {2, 0x7962, 44, 100});
    // EXTTEXTOUT y, x, no string, ETO_OPAQUE, its rectangle
    w.record(0x0201, {static_cast<std::int16_t>(0x50FA), 0x0030});  // SETBKCOLOR
    w.record(0x0A32, {44, 100, 0, static_cast<std::int16_t>(ETO_OPAQUE), 300, 0, 400, 80});
    return w.bytes();
  };
  cases.push_back(framed);
  // Runs aligned by the top and the bottom of their cell through a mapping
  // that enlarges 4.27 times: the platform takes the font's ascent and
  // descent in whole logical units (15 and 3 here, 64 and 13 pixels), not
  // in whole device pixels (62 and 14). Two-level glyphs, so that the
  // pixels match exactly.
  cases.push_back({"shapes", "aligned_text_by_logical_metrics", 64, 272, [](EmfBuilder& b) {
                     b.set_map_mode(MM_ANISOTROPIC).set_window_ext(100, 100).set_viewport_ext(427, 427);
                     FontTraits f;
                     f.quality = kNonAntialiasedQuality;
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 2, 2, u"Tg");
                     set_text_align(b, TA_BASELINE);
                     text_out(b, 2, 36, u"Tg");
                     set_text_align(b, TA_BOTTOM);
                     text_out(b, 2, 62, u"Tg");
                   }});
  // A font given its width, drawn through a mapping that squeezes x: in
  // GM_COMPATIBLE the width is carried to the device by the vertical scale,
  // as the height is, so the glyphs keep the shape the width gives them.
  // Right-aligned runs without advances: the glyphs are drawn at their
  // hinted advances, but the run is measured at its unhinted ones, rounded
  // glyph by glyph ("l" is drawn 3 pixels apart, measured as 4).
  cases.push_back({"text", "aligned_run_measured_unhinted", 256, 96, [](EmfBuilder& b) {
                     create_font(b, 1, FontTraits{});
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     set_text_align(b, TA_RIGHT | TA_TOP);
                     text_out(b, 250, 4, u"llllllllll");
                     text_out(b, 250, 24, u"nnnnnnnnnn");
                     text_out(b, 250, 44, u"          l");
                     set_text_align(b, TA_CENTER | TA_TOP);
                     text_out(b, 128, 64, u"AAAAAAAAAAl");
                   }});
  cases.push_back({"text", "font_width_squeezed_mapping", 128, 48, [](EmfBuilder& b) {
                     b.set_map_mode(MM_ANISOTROPIC).set_window_ext(200, 48).set_viewport_ext(128, 48);
                     FontTraits f;
                     f.height = -22;
                     f.width = 8;
                     f.face = u"Liberation Serif";
                     create_font(b, 1, f);
                     b.select_object(1).set_bk_mode(TRANSPARENT).set_text_color(kInk);
                     text_out(b, 6, 8, u"NNaW Cu");
                   }});
  return cases;
}

std::vector<ReferenceCase> brush_faults() {
  std::vector<ReferenceCase> cases;
  cases.push_back({"brushes", "palette_index_selected", 96, 96, [](EmfBuilder& b) {
                     select_palette(b, 9, kPalette);
                     for (std::uint32_t i = 0; i < 4; ++i) {
                       b.create_brush(1 + i, BS_SOLID, palette_index(i)).select_object(1 + i);
                       b.rectangle(6 + 22 * static_cast<int>(i), 8, 26 + 22 * static_cast<int>(i), 88);
                     }
                   }});
  cases.push_back({"brushes", "palette_rgb", 96, 96, [](EmfBuilder& b) {
                     b.create_brush(1, BS_SOLID, palette_rgb(200, 100, 50)).select_object(1);
                     b.rectangle(6, 6, 46, 90);
                     select_palette(b, 9, kPalette);
                     b.create_brush(2, BS_SOLID, palette_rgb(10, 140, 150)).select_object(2);
                     b.rectangle(50, 6, 90, 90);
                   }});
  cases.push_back({"brushes", "dib_pal_colors", 96, 96, [](EmfBuilder& b) {
                     select_palette(b, 9, kPalette);
                     Bytes indices;
                     put16(indices, 2);
                     put16(indices, 1);
                     const Bytes dib = checker_dib(indices);
                     pattern_brush(b, EMR_CREATEDIBPATTERNBRUSHPT, 1, DIB_PAL_COLORS, dib, 40 + 4);
                     b.select_object(1).rectangle(6, 6, 90, 90);
                   }});
  // A monochrome brush with the plain black and white table paints the text
  // and background colours; a colour pattern its own colours.
  cases.push_back({"brushes", "mono_pattern_text_colors", 96, 96, [](EmfBuilder& b) {
                     b.set_text_color(kRed).set_bk_color(RGB(250, 220, 80));
                     const Bytes dib = checker_dib(rgb_table(RGB(0, 0, 0), RGB(255, 255, 255)));
                     pattern_brush(b, EMR_CREATEMONOBRUSH, 1, DIB_RGB_COLORS, dib, 40 + 8);
                     b.select_object(1).rectangle(6, 6, 46, 90);
                     const Bytes colored = checker_dib(rgb_table(RGB(0, 120, 60), RGB(120, 200, 255)));
                     pattern_brush(b, EMR_CREATEDIBPATTERNBRUSHPT, 3, DIB_RGB_COLORS, colored, 40 + 8);
                     b.select_object(3).rectangle(50, 6, 90, 90);
                   }});
  return cases;
}

std::vector<ReferenceCase> stroke_and_fill_faults() {
  std::vector<ReferenceCase> cases;
  cases.push_back({"shapes", "dash_along_curves_cosmetic", 128, 128, [](EmfBuilder& b) {
                     b.create_pen(1, PS_DASH, 1, kBlue).select_object(1);
                     curves(b);
                   }});
  cases.push_back({"shapes", "dash_along_curves_geometric", 128, 128, [](EmfBuilder& b) {
                     ext_pen(b, 1, PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 4, kBlue);
                     b.select_object(1);
                     curves(b);
                   }});
  cases.push_back({"shapes", "dash_across_figures_cosmetic", 128, 96, [](EmfBuilder& b) {
                     b.create_pen(1, PS_DASHDOT, 1, kBlue).select_object(1);
                     figures(b);
                   }});
  cases.push_back({"shapes", "dash_across_figures_geometric", 128, 96, [](EmfBuilder& b) {
                     ext_pen(b, 1, PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, 3, kBlue);
                     b.select_object(1);
                     figures(b);
                   }});
  // Cells of a mesh share their edges exactly; nothing of the white page may
  // show between them.
  cases.push_back({"shapes", "mesh_shared_edges", 96, 96, [](EmfBuilder& b) {
                     b.set_map_mode(MM_ANISOTROPIC).set_window_ext(1000, 1000).set_viewport_ext(96, 96);
                     b.select_stock(NULL_PEN);
                     for (int row = 0; row < 9; ++row) {
                       for (int col = 0; col < 9; ++col) {
                         const int x = 40 + col * 103, y = 40 + row * 103;
                         const std::uint32_t brush = 1 + static_cast<std::uint32_t>(row * 9 + col);
                         b.create_brush(brush, BS_SOLID, RGB(30 + 20 * col, 60 + 15 * row, 160)).select_object(brush);
                         if ((row + col) % 2) {
                           b.polygon16({{static_cast<short>(x), static_cast<short>(y)},
                                        {static_cast<short>(x + 103), static_cast<short>(y)},
                                        {static_cast<short>(x + 103), static_cast<short>(y + 103)},
                                        {static_cast<short>(x), static_cast<short>(y + 103)}});
                         } else {
                           b.polygon16({{static_cast<short>(x), static_cast<short>(y)},
                                        {static_cast<short>(x + 103), static_cast<short>(y)},
                                        {static_cast<short>(x), static_cast<short>(y + 103)}});
                           b.polygon16({{static_cast<short>(x + 103), static_cast<short>(y)},
                                        {static_cast<short>(x + 103), static_cast<short>(y + 103)},
                                        {static_cast<short>(x), static_cast<short>(y + 103)}});
                         }
                         b.delete_object(brush);
                       }
                     }
                   }});
  loosen(cases, "dash_across_figures_cosmetic", 0.015, "one pixel of the slanted line steps the other way at a tie");
  return cases;
}

std::vector<ReferenceCase> bitmap_faults() {
  std::vector<ReferenceCase> cases;
  cases.push_back({"bitmaps", "stretch_scaled_mapping", 96, 96, [](EmfBuilder& b) {
                     b.set_map_mode(MM_ANISOTROPIC).set_window_ext(64, 64).set_viewport_ext(96, 96);
                     const Dib dib = four_by_four();
                     stretch_dib(b, dib, 3, 3, 13, 13);
                     stretch_dib(b, dib, 21, 5, 22, 9);
                     stretch_dib(b, dib, 5, 33, 7, 27);
                   }});
  cases.push_back({"bitmaps", "stretch_flipped_mapping", 96, 96, [](EmfBuilder& b) {
                     b.set_map_mode(MM_ANISOTROPIC).set_window_ext(-64, -64).set_viewport_ext(96, 96);
                     b.set_viewport_org(95, 95);
                     const Dib dib = four_by_four();
                     stretch_dib(b, dib, 3, 3, 13, 13);
                     stretch_dib(b, dib, 21, 5, 22, 9);
                     stretch_dib(b, dib, 5, 33, 7, 27);
                   }});
  return cases;
}

std::vector<ReferenceCase> wmf_frame_faults() {
  std::vector<ReferenceCase> cases;
  ReferenceCase far{"wmf", "frame_far_from_window_origin", 96, 96};
  far.wmf = [] {
    WmfBuilder w;
    w.objects(1).set_window_org(0, 0).set_window_ext(2000, 2000);
    w.record(0x02FC, {BS_SOLID, static_cast<std::int16_t>(0x3C1E), static_cast<std::int16_t>(0x00C8), 0});
    w.record(0x012D, {0});
    w.rectangle(1200, 1300, 1600, 1700);
    w.rectangle(1500, 1200, 1700, 1400);
    return w.bytes();
  };
  cases.push_back(far);
  ReferenceCase twice{"wmf", "window_set_twice", 96, 96};
  twice.wmf = [] {
    WmfBuilder w;
    w.objects(1).set_window_org(0, 0).set_window_ext(100, 100);
    w.record(0x02FC, {BS_SOLID, static_cast<std::int16_t>(0x3C1E), static_cast<std::int16_t>(0x00C8), 0});
    w.record(0x012D, {0});
    w.rectangle(10, 10, 50, 50);
    w.set_window_org(-50, -50).set_window_ext(400, 400);
    w.rectangle(100, 100, 300, 200);
    return w.bytes();
  };
  cases.push_back(twice);
  const char* half_pixel = "edges that the frame-to-rectangle scale puts on half pixels land one pixel off";
  loosen(cases, "frame_far_from_window_origin", 0.02, half_pixel);
  loosen(cases, "window_set_twice", 0.05, half_pixel);
  return cases;
}

std::vector<ReferenceCase> nested_faults() {
  std::vector<ReferenceCase> cases;
  const char* curve_edges = "single edge pixels of the flattened ellipse sit one pixel off the platform's digitiser";
  // The comment carries the WMF the picture came from; the records after it
  // draw the picture.
  cases.push_back({"nested", "windows_metafile_comment", 96, 96, [](EmfBuilder& b) {
                     const Bytes wmf = red_square_wmf();
                     Bytes payload;
                     put32(payload, 0x300);                                   // nVersion
                     put32(payload, 0);                                       // nChecksum
                     put32(payload, 0);                                       // fFlags
                     put32(payload, static_cast<std::uint32_t>(wmf.size()));  // cbWinMetaFile
                     payload.insert(payload.end(), wmf.begin(), wmf.end());
                     gdi_comment(b, kCommentWindowsMetafile, payload);
                     b.create_brush(1, BS_SOLID, kBlue).select_object(1);
                     b.rectangle(20, 20, 76, 76);
                   }});
  // A multiple-format comment holding an EMF picture, between records of the
  // outer picture.
  cases.push_back({"nested", "multiformats_comment", 96, 96, [](EmfBuilder& b) {
                     b.create_brush(1, BS_SOLID, kBlue).select_object(1);
                     b.rectangle(4, 4, 50, 50);
                     EmfBuilder inner(RECTL{0, 0, 3000, 3000}, RECTL{0, 0, 95, 95});
                     inner.create_brush(1, BS_SOLID, kRed).select_object(1);
                     inner.rectangle(40, 40, 92, 92);
                     const Bytes emf = inner.bytes();
                     Bytes payload;
                     for (int v : {0, 0, 96, 96}) put32(payload, static_cast<std::uint32_t>(v));  // rclOutput
                     put32(payload, 1);                                    // nFormats
                     put32(payload, 0x464D4520);                           // dSignature " EMF"
                     put32(payload, 0x10000);                              // nVersion
                     put32(payload, static_cast<std::uint32_t>(emf.size()));  // cbData
                     put32(payload, 4 + 4 + 16 + 4 + 16);                  // offData, from "GDIC"
                     payload.insert(payload.end(), emf.begin(), emf.end());
                     gdi_comment(b, kCommentMultiformats, payload);
                     b.create_brush(2, BS_SOLID, RGB(20, 160, 60)).select_object(2);
                     b.ellipse(30, 30, 66, 66);
                   }});
  loosen(cases, "multiformats_comment", 0.03, curve_edges);
  return cases;
}

}  // namespace

std::vector<ReferenceCase> fault_cases() {
  std::vector<ReferenceCase> all;
  for (auto group : {text_faults, brush_faults, stroke_and_fill_faults, bitmap_faults, wmf_frame_faults, nested_faults}) {
    std::vector<ReferenceCase> cases = group();
    all.insert(all.end(), cases.begin(), cases.end());
  }
  return all;
}

}  // namespace velmora::test
