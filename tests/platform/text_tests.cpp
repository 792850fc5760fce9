// Fonts, glyphs and text layout: the face substitutes, the GDI height rule,
// alignment, advance arrays, turned text and the limits on a run.
#include "text/face_cache.h"
#include "text/font_face.h"
#include "text/font_matcher.h"
#include "text/text_encoding.h"
#include "text/text_layout.h"

#include "common/png_io.h"

#include <agg_bounding_rect.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace velmora::platform {
namespace {

FontRequest request(const char* face, int height, int weight = FW_NORMAL, std::uint8_t pitch_family = 0) {
  FontRequest r;
  r.face = face;
  r.height = height;
  r.weight = weight;
  r.pitch_and_family = pitch_family;
  return r;
}

std::string family_of(const FontRequest& r) {
  const std::optional<MatchedFont> m = match_font(r);
  return m ? m->family : std::string("<none>");
}

agg::rect_d bounds(agg::path_storage& path) {
  agg::rect_d box{0, 0, 0, 0};
  agg::bounding_rect_single(path, 0, &box.x1, &box.y1, &box.x2, &box.y2);
  return box;
}

// One run of text at (x, y), in MM_TEXT on a one-to-one device, unless the
// test changes the input.
struct TextRun {
  std::u32string text;
  std::vector<double> dx;
  TextLayoutInput input;

  TextRun(std::u32string s, FontRequest font, UINT align = TA_LEFT | TA_TOP) : text(std::move(s)) {
    input.font = std::move(font);
    input.align = align;
    input.x = 100;
    input.y = 200;
  }
  std::optional<TextGeometry> lay_out() {
    input.codes = text;
    input.dx = dx;
    return layout_text(input);
  }
};

// Liberation Sans, in font units per 2048 em: winAscent 1854, winDescent 434,
// cap height 1409.
constexpr double kSansUnits = 2048, kSansAscent = 1854, kSansDescent = 434, kSansCap = 1409;

TEST(FontMatcher, MapsTheCommonWindowsFacesToMetricCompatibleOnes) {
  EXPECT_EQ(family_of(request("Arial", -12)), "Liberation Sans");
  EXPECT_EQ(family_of(request("helvetica", -12)), "Liberation Sans");
  EXPECT_EQ(family_of(request("Times New Roman", -12)), "Liberation Serif");
  EXPECT_EQ(family_of(request("Courier New", -12)), "Liberation Mono");
}

TEST(FontMatcher, FallsBackByPitchAndFamilyForUnknownFaces) {
  EXPECT_EQ(family_of(request("No Such Face", -12, FW_NORMAL, FF_ROMAN | VARIABLE_PITCH)), "Liberation Serif");
  EXPECT_EQ(family_of(request("No Such Face", -12, FW_NORMAL, FF_MODERN | FIXED_PITCH)), "Liberation Mono");
  EXPECT_EQ(family_of(request("No Such Face", -12, FW_NORMAL, FF_SWISS)), "Liberation Sans");
  EXPECT_EQ(family_of(request("", -12)), "Liberation Sans");
}

TEST(FontMatcher, PicksTheBoldAndItalicFilesWhenTheyExist) {
  FontRequest r = request("Arial", -12, FW_BOLD);
  r.italic = true;
  const std::optional<MatchedFont> m = match_font(r);
  ASSERT_TRUE(m);
  EXPECT_NE(m->file.path.find("BoldItalic"), std::string::npos) << m->file.path;
  EXPECT_FALSE(m->synthetic_bold);
  EXPECT_FALSE(m->synthetic_italic);
}

TEST(FontMatcher, SymbolFaceMapsSingleByteCodesToGlyphs) {
  const std::optional<MatchedFont> m = match_font(request("Symbol", -12));
  ASSERT_TRUE(m);
  FT_UInt alpha = 0, alpha_private_use = 0;
  ASSERT_TRUE(with_face(m->file, [&](FT_Face face) {
    const GlyphMapper mapper(face);
    alpha = mapper.glyph_for(U'a');  // alpha in the Symbol layout
    alpha_private_use = mapper.glyph_for(0xF061);
  }));
  EXPECT_NE(alpha, 0u) << m->family;
  EXPECT_EQ(alpha, alpha_private_use);
  // Not-equal (0xB9) is in the layout even where the face's Unicode cmap
  // lacks it, and a symbol face's codes are never taken from another font.
  FT_UInt not_equal = 0;
  bool symbol = false;
  ASSERT_TRUE(with_face(m->file, [&](FT_Face face) {
    const GlyphMapper mapper(face);
    not_equal = mapper.glyph_for(0xB9);
    symbol = mapper.is_symbol_font();
  }));
  EXPECT_NE(not_equal, 0u);
  EXPECT_TRUE(symbol);
}

FontRequest request_in(const char* face, std::uint8_t charset, std::uint8_t pitch_family = 0) {
  FontRequest r = request(face, -12, FW_NORMAL, pitch_family);
  r.charset = charset;
  return r;
}

TEST(FontMatcher, MapsCjkFacesByNameAndTheirCharacterSets) {
  for (const char* face : {"SimSun", "SimHei", "Microsoft YaHei", "PMingLiU", "MS PGothic", "Meiryo",
                           "MS UI Gothic", "Batang", "Gulim", "Malgun Gothic", "宋体", "ＭＳ Ｐゴシック", "맑은 고딕"}) {
    EXPECT_EQ(family_of(request(face, -12)), "WenQuanYi Micro Hei") << face;
  }
  for (const char* face : {"NSimSun", "MingLiU", "MS Gothic", "MS Mincho", "ＭＳ ゴシック"})
    EXPECT_EQ(family_of(request(face, -12)), "WenQuanYi Micro Hei Mono") << face;
  for (std::uint8_t charset : {128, 129, 134, 136})
    EXPECT_EQ(family_of(request_in("No Such CJK Face", charset)), "WenQuanYi Micro Hei") << int(charset);
  EXPECT_EQ(family_of(request_in("No Such CJK Face", 134, FIXED_PITCH)), "WenQuanYi Micro Hei Mono");
  // A face the machine has keeps its own font whatever the character set.
  EXPECT_EQ(family_of(request_in("Arial", 134)), "Liberation Sans");
}

TEST(FontMatcher, SymbolFacesWithoutTheirFontGoToASymbolFontNeverToLetters) {
  const std::vector<std::string> symbol_fonts = {"Symbol", "Standard Symbols PS", "Wingdings", "Webdings", "Marlett"};
  for (const char* face : {"Wingdings 2", "Wingdings 3", "MT Extra", "No Such Symbols"}) {
    const std::string family = family_of(request_in(face, SYMBOL_CHARSET));
    EXPECT_NE(std::find(symbol_fonts.begin(), symbol_fonts.end(), family), symbol_fonts.end())
        << face << " went to " << family;
  }
  EXPECT_EQ(family_of(request_in("Webdings", SYMBOL_CHARSET)), "Webdings");
  EXPECT_EQ(family_of(request_in("Marlett", SYMBOL_CHARSET)), "Marlett");
}

TEST(FontMatcher, LinksACharacterToAnInstalledFontThatCarriesIt) {
  const std::optional<FontFile> han = linked_font(U'漢');
  const std::optional<MatchedFont> cjk = match_font(request("SimSun", -12));
  ASSERT_TRUE(han && cjk);
  EXPECT_EQ(*han, cjk->file);
  const std::optional<FontFile> hangul = linked_font(U'한');
  ASSERT_TRUE(hangul);
  FT_UInt glyph = 0;
  ASSERT_TRUE(with_face(*hangul, [&](FT_Face f) { glyph = GlyphMapper(f).glyph_for(U'한'); }));
  EXPECT_NE(glyph, 0u);
  EXPECT_FALSE(linked_font(0x10FFFD));  // private use: no font has it
}

TEST(FaceCache, NeverClosesAFaceThatACallerIsUsing) {
  std::vector<FontFile> files;
  for (const char* dir : {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/liberation",
                          "/usr/share/fonts/truetype/liberation2"}) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
      if (e.path().extension() == ".ttf") files.push_back({e.path().string(), 0});
  }
  if (files.size() < 18) GTEST_SKIP() << "needs more than 16 font files";
  FT_UInt outer_glyph = 0;
  ASSERT_TRUE(with_face(files[0], [&](FT_Face outer) {
    for (std::size_t i = 1; i < files.size(); ++i) EXPECT_TRUE(with_face(files[i], [](FT_Face) {}));
    outer_glyph = FT_Get_Char_Index(outer, 'A');  // still open: a closed face would be read after free
  }));
  EXPECT_NE(outer_glyph, 0u);
  EXPECT_LE(open_face_count(), 17u);
}

TEST(FaceCache, KeepsABoundedNumberOfFacesOpen) {
  for (const char* face : {"Arial", "Times New Roman", "Courier New", "Symbol"}) {
    for (int weight : {FW_NORMAL, FW_BOLD}) {
      const std::optional<MatchedFont> m = match_font(request(face, -12, weight));
      ASSERT_TRUE(m);
      EXPECT_TRUE(with_face(m->file, [](FT_Face) {}));
    }
  }
  EXPECT_GT(open_face_count(), 0u);
  EXPECT_LE(open_face_count(), 16u);
  EXPECT_FALSE(with_face({"/nonexistent/font.ttf", 0}, [](FT_Face) { FAIL(); }));
}

TEST(TextLayout, NegativeHeightIsTheEmAndPositiveHeightTheCell) {
  TextRun em(U"H", request("Arial", -1000), TA_BASELINE);
  TextRun cell(U"H", request("Arial", 1000), TA_BASELINE);
  std::optional<TextGeometry> a = em.lay_out();
  std::optional<TextGeometry> b = cell.lay_out();
  ASSERT_TRUE(a && b);
  EXPECT_NEAR(bounds(a->glyphs).y2 - bounds(a->glyphs).y1, 1000 * kSansCap / kSansUnits, 2);
  EXPECT_NEAR(bounds(b->glyphs).y2 - bounds(b->glyphs).y1, 1000 * kSansCap / (kSansAscent + kSansDescent), 2);
}

TEST(TextLayout, VerticalAlignmentPutsTheBaselineByTheCellMetrics) {
  const double em = 1000;
  TextRun top(U"H", request("Arial", -1000), TA_TOP);
  TextRun base(U"H", request("Arial", -1000), TA_BASELINE);
  TextRun bottom(U"H", request("Arial", -1000), TA_BOTTOM);
  std::optional<TextGeometry> t = top.lay_out(), a = base.lay_out(), b = bottom.lay_out();
  ASSERT_TRUE(t && a && b);
  EXPECT_NEAR(bounds(a->glyphs).y2, 200, 1);  // the H sits on the baseline
  EXPECT_NEAR(bounds(t->glyphs).y2, 200 + em * kSansAscent / kSansUnits, 1);
  EXPECT_NEAR(bounds(b->glyphs).y2, 200 - em * kSansDescent / kSansUnits, 1);
}

TEST(TextLayout, HorizontalAlignmentUsesTheWholeAdvance) {
  auto right_edge = [](UINT align) {
    TextRun run(U"II", request("Arial", -100), align);
    run.dx = {50, 50};
    std::optional<TextGeometry> g = run.lay_out();
    return g ? bounds(g->glyphs).x2 : -1.0;
  };
  const double left = right_edge(TA_LEFT);
  EXPECT_NEAR(right_edge(TA_CENTER), left - 50, 1e-6);
  EXPECT_NEAR(right_edge(TA_RIGHT), left - 100, 1e-6);
}

// Hinted runs are aligned in whole pixels measured from the logical origin,
// as the reference player aligns them: at 1.145 pixels a unit with the
// origin at (34.35, 34.35), a 10-unit Arial's baseline lies 11 pixels below
// the reference point for TA_TOP and 3 above for TA_BOTTOM, and a run 31
// units wide starts 36 pixels left of it for TA_RIGHT and 18 for TA_CENTER;
// its ascent, descent and width rounded on their own give 10, 2, 35 and 17.
TEST(TextLayout, AlignmentIsInWholePixelsFromTheLogicalOrigin) {
  auto glyph_box = [](UINT align) {
    TextRun run(U"H", request("Arial", -10), align);
    run.dx = {31};
    run.input.page = agg::trans_affine(1.145, 0, 0, 1.145, 34.35, 34.35);
    run.input.x = 10;
    run.input.y = 10;
    std::optional<TextGeometry> g = run.lay_out();
    return g ? bounds(g->glyphs) : agg::rect_d{0, 0, 0, 0};
  };
  const agg::rect_d base = glyph_box(TA_LEFT | TA_BASELINE);
  EXPECT_DOUBLE_EQ(glyph_box(TA_LEFT | TA_TOP).y2 - base.y2, 11);
  EXPECT_DOUBLE_EQ(glyph_box(TA_LEFT | TA_BOTTOM).y2 - base.y2, -3);
  EXPECT_DOUBLE_EQ(glyph_box(TA_RIGHT | TA_BASELINE).x1 - base.x1, -36);
  EXPECT_DOUBLE_EQ(glyph_box(TA_CENTER | TA_BASELINE).x1 - base.x1, -18);
}

TEST(TextLayout, AdvanceArrayPlacesEachGlyph) {
  TextRun one(U"I", request("Arial", -100));
  TextRun two(U"II", request("Arial", -100));
  two.dx = {300, 10};
  std::optional<TextGeometry> a = one.lay_out(), b = two.lay_out();
  ASSERT_TRUE(a && b);
  const double stem = bounds(a->glyphs).x2 - bounds(a->glyphs).x1;
  EXPECT_NEAR(bounds(b->glyphs).x2 - bounds(b->glyphs).x1, 300 + stem, 1e-6);
  EXPECT_NEAR(b->end_x, 100 + 310, 1e-9);
  EXPECT_NEAR(b->end_y, 200, 1e-9);
}

TEST(TextLayout, CurrentPositionMovesBackForRightAlignedText) {
  TextRun run(U"II", request("Arial", -100), TA_RIGHT | TA_UPDATECP);
  run.dx = {40, 60};
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  EXPECT_NEAR(g->end_x, 0, 1e-9);
}

TEST(TextLayout, EscapementTurnsTheBaselineCounterClockwise) {
  FontRequest font = request("Arial", -100);
  font.escapement = 900;
  TextRun run(U"HHHHHH", font, TA_BASELINE);
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  const agg::rect_d box = bounds(g->glyphs);
  EXPECT_GT(box.y2 - box.y1, 3 * (box.x2 - box.x1));
  EXPECT_LE(box.y2, 200 + 1);    // the run goes up the device from the reference point
  EXPECT_LE(box.x2, 100 + 1);    // with the glyph tops to the left
  constexpr double kAdvanceOfH = 1479;  // font units
  EXPECT_NEAR(g->end_x, 100, 1e-9);
  EXPECT_NEAR(g->end_y, 200 - 6 * 100 * kAdvanceOfH / kSansUnits, 1e-9);
}

TEST(TextLayout, MappingModeScalesAndFlipsOnlyWhereItShould) {
  // A y-up mapping (as MM_LOENGLISH): the text still stands upright.
  TextRun run(U"H", request("Arial", -100), TA_BASELINE);
  run.input.page = agg::trans_affine(2, 0, 0, -2, 0, 1000);
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  const agg::rect_d box = bounds(g->glyphs);
  EXPECT_NEAR(box.y2, 1000 - 400, 1);  // baseline at the mapped reference point
  EXPECT_NEAR(box.y2 - box.y1, 2 * 100 * kSansCap / kSansUnits, 1);
}

TEST(TextLayout, UnderlineAndBackgroundSpanTheRun) {
  FontRequest font = request("Arial", -100);
  font.underline = true;
  font.strike_out = true;
  TextRun run(U"AB", font);
  run.dx = {70, 80};
  run.input.opaque_background = true;
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  EXPECT_NEAR(bounds(g->lines).x1, 100, 1e-6);
  EXPECT_NEAR(bounds(g->lines).x2, 250, 1e-6);
  const agg::rect_d cell = bounds(g->background);
  EXPECT_NEAR(cell.y1, 200, 1e-6);
  EXPECT_DOUBLE_EQ(cell.y2 - cell.y1, 91 + 21);  // ascent and descent, each rounded to whole pixels
}

TEST(TextLayout, UprightTextIsHintedAndEverySizeFollowsTheGaspTable) {
  TextRun small(U"Hamburg", request("Arial", -13));
  TextRun large(U"Hamburg", request("Arial", -40));
  FontRequest turned_font = request("Arial", -13);
  turned_font.escapement = 300;
  TextRun turned(U"Hamburg", turned_font);
  std::optional<TextGeometry> a = small.lay_out(), b = large.lay_out(), c = turned.lay_out();
  ASSERT_TRUE(a && b && c);
  EXPECT_TRUE(a->aliased_glyphs);  // Liberation Sans asks for no greys from 9 to 16 pixels
  EXPECT_FALSE(b->aliased_glyphs);
  EXPECT_TRUE(c->aliased_glyphs);  // turned text is not hinted, but follows the gasp table too
  FontRequest turned_large_font = request("Arial", -40);
  turned_large_font.escapement = 300;
  EXPECT_FALSE(TextRun(U"Hamburg", turned_large_font).lay_out()->aliased_glyphs);
  small.input.font.quality = 4;     // ANTIALIASED_QUALITY still follows the gasp table
  large.input.font.quality = 3;     // NONANTIALIASED_QUALITY: never grey
  EXPECT_TRUE(small.lay_out()->aliased_glyphs);
  EXPECT_TRUE(large.lay_out()->aliased_glyphs);
  // Hinted: the baseline and the cap height sit on whole pixels.
  const agg::rect_d h = bounds(a->glyphs);
  EXPECT_DOUBLE_EQ(h.y2, std::round(h.y2));
  EXPECT_DOUBLE_EQ(h.y1, std::round(h.y1));
}

// In GM_ADVANCED the font is realised at its size under the window/viewport
// mapping and then scaled, so the gasp table is read at that size: 150
// logical units drawn at 12 pixels stay grey, 12 units drawn at 24 pixels
// come out two-level.
TEST(TextLayout, AdvancedModeReadsTheGaspTableAtTheRealisedSize) {
  TextRun shrunk(U"Hamburg", request("Arial", -150));
  shrunk.input.advanced_mode = true;
  shrunk.input.page = agg::trans_affine_scaling(0.08);
  TextRun compatible = shrunk;
  compatible.input.advanced_mode = false;
  TextRun grown(U"Hamburg", request("Arial", -12));
  grown.input.advanced_mode = true;
  grown.input.world = agg::trans_affine_scaling(2);
  EXPECT_FALSE(shrunk.lay_out()->aliased_glyphs);
  EXPECT_TRUE(compatible.lay_out()->aliased_glyphs);
  EXPECT_TRUE(grown.lay_out()->aliased_glyphs);
}

// A GM_ADVANCED font is realised, and hinted, at its size under the
// window/viewport mapping, then scaled by the world transform: 30 units at
// twice the size get a cell of twice the whole pixels at 30 (27 + 6), not the
// cell hinted at 60 (54 + 13).
TEST(TextLayout, AdvancedModeHintsAtTheRealisedSizeAndScalesTheGlyphs) {
  TextRun run(U"Hamburg", request("Arial", -30));
  run.input.advanced_mode = true;
  run.input.world = agg::trans_affine_scaling(2);
  run.input.opaque_background = true;
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  const agg::rect_d cell = bounds(g->background);
  EXPECT_NEAR(cell.y2 - cell.y1, 2 * (27 + 6), 1e-6);
  EXPECT_FALSE(g->aliased_glyphs);
}

// Columns a path of whole-pixel boxes covers, from left to right.
std::vector<int> covered_columns(agg::path_storage& boxes) {
  std::vector<int> columns;
  double x, y;
  for (unsigned i = 0; i < boxes.total_vertices(); ++i) {
    if (!agg::is_vertex(boxes.vertex(i, &x, &y))) continue;
    EXPECT_DOUBLE_EQ(x, std::round(x));
    EXPECT_DOUBLE_EQ(y, std::round(y));
    columns.push_back(static_cast<int>(x));
  }
  std::sort(columns.begin(), columns.end());
  columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
  return columns;
}

// At 9 pixels Liberation Sans' stems are thinner than a pixel and miss the
// pixel centres; the two-level rasteriser's dropout control keeps each one,
// as the platform's text does.
TEST(TextLayout, TwoLevelGlyphsKeepStrokesThinnerThanAPixel) {
  TextRun run(U"l l l l", request("Arial", -9));
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  ASSERT_TRUE(g->aliased_glyphs);
  const std::vector<int> columns = covered_columns(g->glyphs);  // box edges: two per stem
  int stems = 0;
  for (std::size_t i = 0; i + 1 < columns.size(); i += 2) stems += columns[i + 1] > columns[i];
  EXPECT_EQ(stems, 4);
  EXPECT_EQ(columns.size(), 8u);
}

TEST(TextLayout, OpaqueRectangleIsDrawnEvenWithoutText) {
  TextRun run(U"", request("Arial", -12));
  run.input.opaque_rect = RECTL{10, 20, 30, 40};
  run.input.clip_rect = RECTL{10, 20, 30, 40};
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  EXPECT_EQ(g->glyphs.total_vertices(), 0u);
  const agg::rect_d box = bounds(g->opaque_rect);
  EXPECT_DOUBLE_EQ(box.x1, 10);
  EXPECT_DOUBLE_EQ(box.y2, 40);
  ASSERT_TRUE(g->clip_box);
  EXPECT_DOUBLE_EQ(g->clip_box->x2, 30);
}

TEST(TextLayout, GlyphsTheFaceLacksComeFromALinkedFontAtTheSameSize) {
  TextRun latin(U"漢字", request("Arial", -40), TA_BASELINE);
  TextRun cjk(U"漢字", request("SimSun", -40), TA_BASELINE);
  std::optional<TextGeometry> a = latin.lay_out(), b = cjk.lay_out();
  ASSERT_TRUE(a && b);
  const agg::rect_d la = bounds(a->glyphs), lb = bounds(b->glyphs);
  EXPECT_NEAR(la.x2 - la.x1, lb.x2 - lb.x1, 1e-6);
  EXPECT_NEAR(la.y1, lb.y1, 1e-6);
  ASSERT_EQ(a->advances.size(), 2u);
  EXPECT_EQ(a->advances, b->advances);
  EXPECT_NEAR(a->advances[0], 40, 1);  // a full-width character is an em wide
  // Mixed with the face's own letters, each keeps its own advance.
  TextRun mixed(U"A漢", request("Arial", -40), TA_BASELINE);
  TextRun letter(U"A", request("Arial", -40), TA_BASELINE);
  std::optional<TextGeometry> m = mixed.lay_out(), l = letter.lay_out();
  ASSERT_TRUE(m && l);
  EXPECT_EQ(m->advances[0], l->advances[0]);
  EXPECT_EQ(m->advances[1], a->advances[0]);
}

TEST(TextLayout, TwoLevelGlyphsAreReportedAtTheirGreyLevelAdvances) {
  // Liberation Serif's gasp table wants no greys at 16 pixels an em; hinted
  // for two levels "g", "u" and "n" move 7 pixels, for grey levels 8.
  TextRun run(U"gun", request("Times New Roman", -16));
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  EXPECT_TRUE(g->aliased_glyphs);
  EXPECT_EQ(g->reported_advances, (std::vector<double>{8, 8, 8}));
  // Given advances are reported as given.
  run.dx = {5, 6, 7};
  g = run.lay_out();
  ASSERT_TRUE(g);
  EXPECT_EQ(g->reported_advances, run.dx);
}

TEST(TextLayout, ACharacterNoFontHasKeepsTheFacesMissingGlyph) {
  TextRun run(std::u32string{0x10FFFD, U'A'}, request("Arial", -40));
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  ASSERT_EQ(g->advances.size(), 2u);
  EXPECT_GT(g->advances[0], 0);
}

TEST(TextLayout, YAdvancesMoveUpTheFontsVertical) {
  TextRun run(U"HH", request("Arial", -100), TA_BASELINE);
  run.dx = {100, 100};
  const std::vector<double> dy = {30, 0};
  run.input.dy = dy;
  std::optional<TextGeometry> g = run.lay_out();
  ASSERT_TRUE(g);
  // The second H stands 30 units higher: the run's box reaches 30 above a lone H.
  TextRun lone(U"H", request("Arial", -100), TA_BASELINE);
  std::optional<TextGeometry> one = lone.lay_out();
  ASSERT_TRUE(one);
  EXPECT_NEAR(bounds(g->glyphs).y1, bounds(one->glyphs).y1 - 30, 1e-6);
  EXPECT_NEAR(g->end_y, 200 - 30, 1e-9);
}

TEST(TextLayout, RefusesRunsItCannotDraw) {
  TextRun mismatched(U"abc", request("Arial", -12));
  mismatched.dx = {1, 2};
  EXPECT_FALSE(mismatched.lay_out());
  TextRun too_long(std::u32string(kMaxGlyphsPerRun + 1, U'a'), request("Arial", -12));
  EXPECT_FALSE(too_long.lay_out());
  TextRun huge(U"a", request("Arial", -2000000000));
  EXPECT_FALSE(huge.lay_out());
  TextRun flat(U"a", request("Arial", -12));
  flat.input.world = agg::trans_affine(0, 0, 0, 0, 0, 0);
  EXPECT_FALSE(flat.lay_out());
}

TEST(TextEncoding, DecodesSurrogatesAndTheAnsiCodePage) {
  const std::vector<std::uint16_t> units = {0x41, 0xD83D, 0xDE00, 0xDC00};
  EXPECT_EQ(decode_utf16(units), (std::u32string{U'A', 0x1F600, 0xDC00}));
  const std::vector<std::uint8_t> bytes = {0x41, 0x80, 0xE9, 0x9F};
  EXPECT_EQ(decode_cp1252(bytes), (std::u32string{U'A', 0x20AC, 0xE9, 0x178}));
  EXPECT_EQ(encode_utf8(U"\u00e9\u20ac"), "\xC3\xA9\xE2\x82\xAC");
}

// Draws a few runs to a PNG for a look by eye when VELMORA_TEXT_PNG names a file.
TEST(TextLayout, RendersSamplesForALook) {
  const char* path = std::getenv("VELMORA_TEXT_PNG");
  if (!path) GTEST_SKIP() << "set VELMORA_TEXT_PNG to write the sample picture";
  constexpr int kW = 640, kH = 480;
  std::vector<std::uint8_t> pixels(kW * kH * 4, 255);
  agg::rendering_buffer buffer(pixels.data(), kW, kH, kW * 4);
  agg::pixfmt_bgra32 format(buffer);
  agg::renderer_base<agg::pixfmt_bgra32> base(format);
  agg::renderer_scanline_aa_solid<agg::renderer_base<agg::pixfmt_bgra32>> solid(base);
  agg::rasterizer_scanline_aa<> ras;
  agg::scanline_u8 sl;
  auto fill = [&](agg::path_storage& p, agg::rgba8 c) {
    ras.reset();
    ras.add_path(p);
    solid.color(c);
    agg::render_scanlines(ras, sl, solid);
  };
  auto draw = [&](const char32_t* s, FontRequest f, double x, double y, UINT align) {
    const bool opaque = f.face == "Courier New";
    TextRun run(s, std::move(f), align);
    run.input.x = x;
    run.input.y = y;
    run.input.opaque_background = opaque;
    if (std::optional<TextGeometry> g = run.lay_out()) {
      fill(g->background, agg::rgba8(255, 255, 160));
      fill(g->glyphs, agg::rgba8(0, 0, 0));
      fill(g->lines, agg::rgba8(200, 0, 0));
    }
  };
  FontRequest italic_bold = request("Times New Roman", -40, FW_BOLD);
  italic_bold.italic = true;
  FontRequest lined = request("Arial", 30);
  lined.underline = lined.strike_out = true;
  FontRequest turned = request("Arial", -28);
  turned.escapement = 450;
  draw(U"Arial 24 px: The quick brown fox", request("Arial", -24), 10, 10, TA_TOP);
  draw(U"Times bold italic", italic_bold, 10, 60, TA_TOP);
  draw(U"Courier New, opaque", request("Courier New", -24), 10, 120, TA_TOP);
  draw(U"Lined cell 30", lined, 10, 160, TA_TOP);
  draw(U"abgdp", request("Symbol", -32), 10, 240, TA_BASELINE);
  draw(U"\uF06Clnpu\u00FC", request("Wingdings", -32), 200, 240, TA_BASELINE);
  draw(U"Turned 45 degrees", turned, 300, 460, TA_BASELINE);
  draw(U"centred", request("Verdana", -20, FW_BOLD), 320, 300, TA_CENTER | TA_BASELINE);
  EXPECT_TRUE(tools::write_png(path, pixels.data(), kW, kH, kW * 4, false));
}

// A scaled font is realised at the whole pixel size below its exact em: ten
// units at 0.79 pixels a unit draw as seven pixels, not eight.
TEST(TextLayout, ScaledEmIsCutDownToWholePixels) {
  TextRun scaled(U"H", request("Arial", -10), TA_BASELINE);
  scaled.input.page = agg::trans_affine_scaling(0.79);
  TextRun seven(U"H", request("Arial", -7), TA_BASELINE);
  std::optional<TextGeometry> a = scaled.lay_out(), b = seven.lay_out();
  ASSERT_TRUE(a && b);
  EXPECT_NEAR(bounds(a->glyphs).y2 - bounds(a->glyphs).y1, bounds(b->glyphs).y2 - bounds(b->glyphs).y1, 0.01);
}

}  // namespace
}  // namespace velmora::platform
