// WMF-to-EMF conversion: which data is refused, what each record family
// becomes, the object-slot rule, the picture's frame, and that every WMF of
// the shared corpus converts and plays.
#include "emf/enh_metafile.h"
#include "support/emf_builder.h"
#include "support/wmf_records.h"
#include "wmf/wmf_reader.h"

#include <platform_diagnostics.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

using velmora::platform::EnhMetaFile;
using velmora::platform::RecordSpan;
using velmora::test::WmfBuilder;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kAnyColor = 0x00336699;

// The converted picture, deleted at the end of the test.
class Converted {
 public:
  explicit Converted(const Bytes& wmf)
      : handle_(SetWinMetaFileBits(static_cast<UINT>(wmf.size()), wmf.data(), nullptr, nullptr)) {}
  ~Converted() {
    if (handle_) DeleteEnhMetaFile(handle_);
  }
  Converted(const Converted&) = delete;
  Converted& operator=(const Converted&) = delete;

  HENHMETAFILE handle() const { return handle_; }
  const EnhMetaFile& emf() const { return *velmora::platform::lookup<EnhMetaFile>(handle_); }

  // The records of one type, in order.
  std::vector<RecordSpan> of_type(std::uint32_t type) const {
    std::vector<RecordSpan> found;
    for (const RecordSpan& r : emf().records()) {
      if (r.type == type) found.push_back(r);
    }
    return found;
  }
  // The n-th record of a type; fails the test when there is none.
  RecordSpan nth(std::uint32_t type, std::size_t n = 0) const {
    const auto found = of_type(type);
    EXPECT_LT(n, found.size()) << "no record of type " << type;
    return n < found.size() ? found[n] : RecordSpan{0, 0, 8};
  }
  // A field at a byte offset from the record's start (type and size included).
  template <class T = std::int32_t>
  T field(const RecordSpan& r, std::size_t offset) const {
    T v{};
    if (offset + sizeof(T) <= r.size) std::memcpy(&v, emf().bytes().data() + r.offset + offset, sizeof(T));
    return v;
  }
  std::vector<std::uint32_t> types() const {
    std::vector<std::uint32_t> t;
    for (const RecordSpan& r : emf().records()) t.push_back(r.type);
    return t;
  }

 private:
  HENHMETAFILE handle_;
};

void expect_rect(const RECTL& r, LONG l, LONG t, LONG rt, LONG b) {
  EXPECT_EQ(r.left, l);
  EXPECT_EQ(r.top, t);
  EXPECT_EQ(r.right, rt);
  EXPECT_EQ(r.bottom, b);
}

// --- Refusal -----------------------------------------------------------

TEST(WmfReader, RefusesHeadersThatAreNotAWmf) {
  const Bytes good = WmfBuilder().rectangle(0, 0, 10, 10).bytes();
  ASSERT_TRUE(velmora::platform::wmf::read_wmf(good));
  for (const auto& [offset, value] : {std::pair{0, 3}, {2, 8}, {4, 0x0200}}) {  // type, header size, version
    Bytes bad = good;
    bad[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    bad[static_cast<std::size_t>(offset) + 1] = static_cast<std::uint8_t>(value >> 8);
    EXPECT_FALSE(velmora::platform::wmf::read_wmf(bad)) << "field at " << offset;
  }
  EXPECT_FALSE(velmora::platform::wmf::read_wmf(Bytes(good.begin(), good.begin() + 17)));
}

TEST(WmfReader, RefusesRecordsRunningPastTheDataOrTooSmallToAdvance) {
  const Bytes good = WmfBuilder().rectangle(0, 0, 10, 10).bytes();
  constexpr std::size_t kFirstRecord = 18;
  for (std::uint8_t words : {0, 1, 2, 200}) {  // 0 would loop forever; 200 words run past the end
    Bytes bad = good;
    bad[kFirstRecord] = words;
    EXPECT_FALSE(velmora::platform::wmf::read_wmf(bad)) << int{words};
  }
}

TEST(WmfReader, EndsAtEofOrAtTheEndOfTheData) {
  Bytes b = WmfBuilder().rectangle(0, 0, 10, 10).rectangle(1, 1, 5, 5).bytes();
  auto file = velmora::platform::wmf::read_wmf(b);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->records.size(), 2u);
  b.resize(b.size() - 6);  // no META_EOF
  b.push_back(0xAB);       // and a stray byte
  file = velmora::platform::wmf::read_wmf(b);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->records.size(), 2u);
  EXPECT_EQ(file->records[1].params.size(), 8u);
}

TEST(SetWinMetaFileBits, RefusesWhatIsNotAWmfWithoutLeaking) {
  const std::size_t before = VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE);
  const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!', '!', '!', '!', '!', '!'};
  EXPECT_EQ(SetWinMetaFileBits(static_cast<UINT>(text.size()), text.data(), nullptr, nullptr), nullptr);
  EXPECT_EQ(SetWinMetaFileBits(100, nullptr, nullptr, nullptr), nullptr);
  const Bytes wmf = WmfBuilder().rectangle(0, 0, 10, 10).bytes();
  EXPECT_EQ(SetWinMetaFileBits(10, wmf.data(), nullptr, nullptr), nullptr);  // cut inside the header
  EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE), before);
}

// --- The frame ---------------------------------------------------------

// The numbers below are what the platform's own conversion gives for the
// same records on its 1024 x 768, 96-dpi reference screen.

// A window, a red-brush rectangle inside it, in the mapping mode given.
Bytes window_and_rectangle(int mode) {
  WmfBuilder b;
  set_map_mode(b, mode);
  b.set_window_org(0, 0).set_window_ext(2000, 1000).rectangle(800, 400, 1200, 600);
  return b.bytes();
}

TEST(WmfConversion, WithoutAPictureSizeTheWindowSpansTheScreenAndTheFrameIsWhatIsDrawn) {
  const Converted c(window_and_rectangle(MM_ANISOTROPIC));
  ASSERT_TRUE(c.handle());
  // 2000 x 1000 logical units stretched over 1024 x 768 pixels; the
  // rectangle's right and bottom edges are outside it.
  expect_rect(c.emf().header().rclBounds, 410, 307, 614, 460);
  expect_rect(c.emf().header().rclFrame, 10850, 8114, 16249, 12158);
  EXPECT_EQ(c.emf().header().szlDevice.cx, 1024);
  EXPECT_EQ(c.emf().header().szlMillimeters.cx, 271);
}

TEST(WmfConversion, IsotropicModeStartsFromMetricExtentsWithYUp) {
  const Converted c(window_and_rectangle(MM_ISOTROPIC));
  ASSERT_TRUE(c.handle());
  expect_rect(c.emf().header().rclBounds, 410, -307, 614, -205);
}

TEST(WmfConversion, GivenPictureSizeIsTheFrameAndTheWindowIsStretchedOverIt) {
  const Bytes wmf = window_and_rectangle(MM_ANISOTROPIC);
  const METAFILEPICT size{MM_ANISOTROPIC, 3528, 1764, nullptr};
  const HENHMETAFILE picture = SetWinMetaFileBits(static_cast<UINT>(wmf.size()), wmf.data(), nullptr, &size);
  ASSERT_TRUE(picture);
  ENHMETAHEADER header{};
  ASSERT_NE(GetEnhMetaFileHeader(picture, sizeof header, &header), 0u);
  expect_rect(header.rclFrame, 0, 0, 3528, 1764);
  DeleteEnhMetaFile(picture);

  // A size that is only a proportion, or in a fixed mode, is not a size.
  for (const METAFILEPICT ignored : {METAFILEPICT{MM_ANISOTROPIC, -3528, -1764, nullptr},
                                     METAFILEPICT{MM_TEXT, 3528, 1764, nullptr}}) {
    const HENHMETAFILE framed_by_ink = SetWinMetaFileBits(static_cast<UINT>(wmf.size()), wmf.data(), nullptr, &ignored);
    ASSERT_TRUE(framed_by_ink);
    GetEnhMetaFileHeader(framed_by_ink, sizeof header, &header);
    expect_rect(header.rclFrame, 10850, 8114, 16249, 12158);
    DeleteEnhMetaFile(framed_by_ink);
  }
}

TEST(WmfConversion, UnscaledDrawingLandsOneUnitToOnePixel) {
  WmfBuilder b;
  set_map_mode(b, MM_TEXT);
  b.set_window_ext(5000, 5000);  // ignored in MM_TEXT
  b.rectangle(10, 20, 110, 70);
  velmora::test::polygon(b, {{50, 60}, {130, 65}, {60, 90}});  // its points are drawn
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  expect_rect(c.emf().header().rclBounds, 10, 20, 130, 90);
}

TEST(WmfConversion, PictureThatDrawsNothingGetsASquareFrame) {
  const Converted c(WmfBuilder().bytes());
  ASSERT_TRUE(c.handle());
  const RECTL f = c.emf().header().rclFrame;
  EXPECT_GT(f.right - f.left, 0);
  EXPECT_NEAR(f.right - f.left, f.bottom - f.top, 30);  // the screen's pixels are not quite square in 0.01 mm
}

TEST(WmfConversion, TextIsCountedByItsCellBoxAndGetsWholeLogicalAdvances) {
  WmfBuilder b;
  create_font(b, -20, FW_NORMAL, 0, "Arial");
  select_object(b, 0);
  b.record(0x012E, {TA_BASELINE});  // SETTEXTALIGN
  velmora::test::text_out(b, 100, 100, "Hello");
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  const RecordSpan text = c.nth(EMR_EXTTEXTOUTW);
  const auto dx_at = static_cast<std::size_t>(c.field(text, 72));
  ASSERT_NE(dx_at, 0u);
  int width = 0;
  for (std::size_t i = 0; i < 5; ++i) width += c.field(text, dx_at + 4 * i);
  EXPECT_NEAR(width, 45, 2);
  // A whole cell (22) above the baseline, the descent (4) below it, one
  // unit more on each side away from the reference point; never turned.
  const RECTL bounds = c.emf().header().rclBounds;
  EXPECT_EQ(bounds.top, 100 - 22 - 1);
  EXPECT_EQ(bounds.bottom, 100 + 4 + 1);
  EXPECT_EQ(bounds.left, 100);
  EXPECT_EQ(bounds.right, 100 + width + 1);
}

TEST(WmfConversion, TextBoxRunsDownInLogicalUnitsAndLeavesTheOpaqueRectangleOut) {
  // A y-up window: the box is counted from the reference point down in
  // logical units all the same, up the device. The opaque rectangle, far
  // off, is painted but not counted.
  WmfBuilder b;
  b.set_window_ext(1024, -768);
  create_font(b, 20, FW_NORMAL, 0, "Arial");  // a cell of 20
  select_object(b, 0);
  velmora::test::ext_text_out(b, 200, 300, ETO_OPAQUE, {700, 100, 800, 160}, "Hx", {});
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  const RECTL bounds = c.emf().header().rclBounds;
  EXPECT_EQ(bounds.top, -321);
  EXPECT_EQ(bounds.bottom, -300);
  EXPECT_EQ(bounds.left, 200);
  EXPECT_LT(bounds.right, 240);
}

// --- Objects -----------------------------------------------------------

TEST(WmfConversion, NewObjectTakesTheLowestFreeSlotAndIndexIsSlotPlusOne) {
  WmfBuilder b;
  b.set_window_ext(100, 100);
  create_palette(b);                           // slot 0: held, nothing emitted
  create_pen(b, PS_SOLID, 3, kAnyColor);       // slot 1
  create_brush(b, BS_SOLID, kAnyColor);        // slot 2
  delete_object(b, 1);                         // frees slot 1
  create_font(b, -12, FW_BOLD, 0, "Arial");    // slot 1 again
  select_object(b, 2).rectangle(0, 0, 10, 10);
  select_object(b, 0);                         // the palette: nothing to select
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  EXPECT_EQ(c.field(c.nth(EMR_CREATEPEN), 8), 2);
  EXPECT_EQ(c.field(c.nth(EMR_CREATEBRUSHINDIRECT), 8), 3);
  EXPECT_EQ(c.field(c.nth(EMR_DELETEOBJECT), 8), 2);
  EXPECT_EQ(c.field(c.nth(EMR_EXTCREATEFONTINDIRECTW), 8), 2);
  ASSERT_EQ(c.of_type(EMR_SELECTOBJECT).size(), 1u);
  EXPECT_EQ(c.field(c.nth(EMR_SELECTOBJECT), 8), 3);
  EXPECT_GE(c.emf().header().nHandles, 4);
}

TEST(WmfConversion, PenBrushAndFontKeepTheirFields) {
  WmfBuilder b;
  create_pen(b, PS_DASH, 7, kAnyColor);
  create_brush(b, BS_HATCHED, kAnyColor, HS_DIAGCROSS);
  create_font(b, -24, FW_BOLD, 0, "Times New Roman");
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  const RecordSpan pen = c.nth(EMR_CREATEPEN);  // ihPen, style, width (x, y), colour
  EXPECT_EQ(c.field(pen, 12), PS_DASH);
  EXPECT_EQ(c.field(pen, 16), 7);
  EXPECT_EQ(c.field<std::uint32_t>(pen, 24), kAnyColor);
  const RecordSpan brush = c.nth(EMR_CREATEBRUSHINDIRECT);  // ihBrush, style, colour, hatch
  EXPECT_EQ(c.field(brush, 12), BS_HATCHED);
  EXPECT_EQ(c.field(brush, 20), HS_DIAGCROSS);
  const RecordSpan font = c.nth(EMR_EXTCREATEFONTINDIRECTW);  // ihFont, then the LOGFONTW
  EXPECT_GE(font.size, 12u + 92u);
  EXPECT_EQ(c.field(font, 12), -24);  // lfHeight
  EXPECT_EQ(c.field(font, 28), FW_BOLD);
  std::u16string face;
  for (std::size_t i = 0; i < 32; ++i) {
    const auto ch = c.field<char16_t>(font, 12 + 28 + 2 * i);
    if (ch == 0) break;
    face.push_back(ch);
  }
  EXPECT_EQ(face, u"Times New Roman");
}

TEST(WmfConversion, PaletteIndexesBecomeTheSelectedPalettesColours) {
  constexpr std::uint32_t kPaletteIndex0 = 0x01000000;
  constexpr std::uint32_t kPaletteIndex13 = 0x0100000D;  // red in the default palette
  WmfBuilder b;
  set_text_color(b, kPaletteIndex13);
  create_palette(b);  // slot 0: one blue entry
  select_palette(b, 0);
  create_brush(b, BS_SOLID, kPaletteIndex0);
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  EXPECT_EQ(c.field<std::uint32_t>(c.nth(EMR_SETTEXTCOLOR), 8), 0x000000FFu);
  EXPECT_EQ(c.field<std::uint32_t>(c.nth(EMR_CREATEBRUSHINDIRECT), 16), 0x00FF0000u);
}

// --- Drawing records ---------------------------------------------------

TEST(WmfConversion, ShapesComeOutInEmfFieldOrder) {
  WmfBuilder b;
  b.rectangle(1, 2, 30, 40);
  velmora::test::polygon(b, {{1, 2}, {-3, 4}, {5, 6}});
  velmora::test::poly_polygon(b, {{{0, 0}, {10, 0}, {10, 10}}, {{2, 2}, {4, 2}, {4, 4}, {2, 4}}});
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  const RecordSpan rect = c.nth(EMR_RECTANGLE);
  EXPECT_EQ(c.field(rect, 8), 1);
  EXPECT_EQ(c.field(rect, 12), 2);
  EXPECT_EQ(c.field(rect, 16), 30);
  EXPECT_EQ(c.field(rect, 20), 40);
  const RecordSpan poly = c.nth(EMR_POLYGON16);  // bounds, count, points
  EXPECT_EQ(c.field(poly, 24), 3);
  EXPECT_EQ(c.field<std::int16_t>(poly, 32), -3);
  EXPECT_EQ(c.field<std::int16_t>(poly, 34), 4);
  const RecordSpan polys = c.nth(EMR_POLYPOLYGON16);  // bounds, nPolys, cpts, counts, points
  EXPECT_EQ(c.field(polys, 24), 2);
  EXPECT_EQ(c.field(polys, 28), 7);
  EXPECT_EQ(c.field(polys, 36), 4);
  EXPECT_EQ(c.field<std::int16_t>(polys, 40 + 4), 10);  // the second point's x
}

TEST(WmfConversion, TextBecomesWideTextInTheFontsCharacterSet) {
  WmfBuilder b;
  velmora::test::ext_text_out(b, 10, 20, ETO_CLIPPED, {1, 2, 300, 40}, "A\x80", {7, 9});
  velmora::test::text_out(b, 5, 6, "xyz");
  create_font(b, -10, FW_NORMAL, 2 /* SYMBOL_CHARSET */, "Symbol");
  select_object(b, 0);
  velmora::test::text_out(b, 0, 0, "a");
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  ASSERT_EQ(c.of_type(EMR_EXTTEXTOUTW).size(), 3u);
  // EmrText from offset 36: reference, nChars, offString, options, rcl, offDx.
  const RecordSpan ext = c.nth(EMR_EXTTEXTOUTW, 0);
  EXPECT_EQ(c.field(ext, 36), 10);
  EXPECT_EQ(c.field(ext, 40), 20);
  EXPECT_EQ(c.field(ext, 44), 2);
  EXPECT_EQ(c.field(ext, 52), ETO_CLIPPED);
  EXPECT_EQ(c.field(ext, 64), 300);
  const auto text_at = static_cast<std::size_t>(c.field(ext, 48));
  EXPECT_EQ(c.field<char16_t>(ext, text_at), u'A');
  EXPECT_EQ(c.field<char16_t>(ext, text_at + 2), u'\u20AC');  // Windows-1252 0x80
  const auto dx_at = static_cast<std::size_t>(c.field(ext, 72));
  ASSERT_NE(dx_at, 0u);
  EXPECT_EQ(c.field(ext, dx_at), 7);
  EXPECT_EQ(c.field(ext, dx_at + 4), 9);

  const RecordSpan plain = c.nth(EMR_EXTTEXTOUTW, 1);
  EXPECT_EQ(c.field(plain, 36), 5);
  EXPECT_EQ(c.field(plain, 44), 3);
  EXPECT_NE(c.field(plain, 72), 0);  // the font's own advances, measured
  const RecordSpan symbol = c.nth(EMR_EXTTEXTOUTW, 2);
  EXPECT_EQ(c.field<char16_t>(symbol, static_cast<std::size_t>(c.field(symbol, 48))), u'\uF061');
  // The symbol font's own name stays plain text, or no font of that name is found.
  const RecordSpan font = c.nth(EMR_EXTCREATEFONTINDIRECTW);
  constexpr std::size_t kFaceName = 12 + 28;
  EXPECT_EQ(c.field<char16_t>(font, kFaceName), u'S');
  EXPECT_EQ(c.field<char16_t>(font, kFaceName + 2), u'y');
}

// The advances a text record without spacing gets, under the given records.
std::vector<std::int32_t> converted_advances(WmfBuilder b, std::size_t chars) {
  velmora::test::text_out(b, 0, 0, std::string(chars, 'a'));
  const Converted c(b.bytes());
  std::vector<std::int32_t> advances;
  if (!c.handle()) return advances;
  const RecordSpan text = c.nth(EMR_EXTTEXTOUTW);
  const auto dx_at = static_cast<std::size_t>(c.field(text, 72));
  for (std::size_t i = 0; dx_at != 0 && i < chars; ++i) advances.push_back(c.field(text, dx_at + 4 * i));
  return advances;
}

TEST(WmfConversion, CharacterExtraGoesIntoTheAdvances) {
  WmfBuilder plain;
  create_font(plain, -20, FW_NORMAL, 0, "Arial");
  select_object(plain, 0);
  const std::vector<std::int32_t> natural = converted_advances(plain, 3);
  ASSERT_EQ(natural.size(), 3u);

  WmfBuilder extra = plain;
  extra.record(0x0108, {10});  // SETTEXTCHAREXTRA
  const std::vector<std::int32_t> spaced = converted_advances(extra, 3);
  ASSERT_EQ(spaced.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(spaced[i], natural[i] + 10);
}

TEST(WmfConversion, EachGlyphsHintedWidthIsCarriedBackToWholeUnitsOnItsOwn) {
  // 4 pixels a unit across, 16 down: "a" is hinted 142 pixels wide, 35.5
  // units, and every one of them gets 36, none 35 to make up the sum.
  WmfBuilder stretched;
  stretched.set_window_ext(256, 48);
  create_font(stretched, -16, FW_NORMAL, 0, "Arial");
  select_object(stretched, 0);
  EXPECT_EQ(converted_advances(stretched, 3), (std::vector<std::int32_t>{36, 36, 36}));
  // 0.8 pixels a unit, a scale held in single precision: Tahoma's "a",
  // hinted 10 pixels wide, comes back a hair short of 12.5 units.
  WmfBuilder shrunk;
  shrunk.set_window_ext(1280, 960);
  create_font(shrunk, 28, FW_NORMAL, 0, "Tahoma");
  select_object(shrunk, 0);
  EXPECT_EQ(converted_advances(shrunk, 3), (std::vector<std::int32_t>{12, 12, 12}));
}

TEST(WmfConversion, TextInOtherCodePagesAndDoubleByteSpacing) {
  WmfBuilder b;
  create_font(b, -10, FW_NORMAL, 204 /* RUSSIAN_CHARSET */, "Arial");
  select_object(b, 0);
  velmora::test::text_out(b, 0, 0, "\xC8");
  create_font(b, -10, FW_NORMAL, 128 /* SHIFTJIS_CHARSET */, "MS Gothic");
  select_object(b, 1);
  velmora::test::ext_text_out(b, 0, 0, 0, {}, "\x82\xA0z", {10, 5, 7});
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  const RecordSpan cyrillic = c.nth(EMR_EXTTEXTOUTW, 0);
  EXPECT_EQ(c.field<char16_t>(cyrillic, 76), u'\u0418');
  const RecordSpan japanese = c.nth(EMR_EXTTEXTOUTW, 1);
  ASSERT_EQ(c.field(japanese, 44), 2);  // one double-byte character and one single
  EXPECT_EQ(c.field<char16_t>(japanese, 76), u'\u3042');
  const auto dx_at = static_cast<std::size_t>(c.field(japanese, 72));
  EXPECT_EQ(c.field(japanese, dx_at), 15);  // the spacing of both its bytes
  EXPECT_EQ(c.field(japanese, dx_at + 4), 7);
}

TEST(WmfConversion, YAdvancesComeAsPairsAndAShortArrayDropsThem) {
  WmfBuilder b;
  create_font(b, -10, FW_NORMAL, 0, "Arial");
  select_object(b, 0);
  velmora::test::ext_text_out(b, 0, 0, ETO_PDY, {}, "ab", {11, -4, 12, 4});
  velmora::test::ext_text_out(b, 0, 0, ETO_PDY, {}, "ab", {11, 12});  // one value a byte only
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  const RecordSpan pairs = c.nth(EMR_EXTTEXTOUTW, 0);
  EXPECT_EQ(c.field(pairs, 52) & ETO_PDY, ETO_PDY);
  const auto dx_at = static_cast<std::size_t>(c.field(pairs, 72));
  EXPECT_EQ(c.field(pairs, dx_at), 11);
  EXPECT_EQ(c.field(pairs, dx_at + 4), -4);
  EXPECT_EQ(c.field(pairs, dx_at + 8), 12);
  EXPECT_EQ(c.field(pairs, dx_at + 12), 4);
  const RecordSpan plain = c.nth(EMR_EXTTEXTOUTW, 1);
  EXPECT_EQ(c.field(plain, 52) & ETO_PDY, 0);
  const auto plain_dx = static_cast<std::size_t>(c.field(plain, 72));
  EXPECT_EQ(c.field(plain, plain_dx), 11);
  EXPECT_EQ(c.field(plain, plain_dx + 4), 12);
}

TEST(WmfConversion, MonochromeBlitRowsCountFromTheTopAsInAMemoryContext) {
  // An icon mask twice the icon's height: the blit takes its upper half.
  WmfBuilder b;
  dib_stretch_blt(b, SRCAND, {0, 0, 40, 40}, {0, 0, 40, 40}, velmora::test::mono_dib(40, 80));
  dib_stretch_blt(b, SRCINVERT, {0, 0, 40, 40}, {0, 0, 40, 40}, velmora::test::tiny_dib());
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  constexpr std::size_t kYSrc = 36;
  EXPECT_EQ(c.field(c.nth(EMR_STRETCHDIBITS, 0), kYSrc), 40);  // rows 40..79 from the bottom
  EXPECT_EQ(c.field(c.nth(EMR_STRETCHDIBITS, 1), kYSrc), 0);   // colour DIBs count from the bottom
}

TEST(WmfConversion, ClipBitmapAndPatternRecords) {
  WmfBuilder b;
  intersect_clip_rect(b, 1, 2, 3, 4);
  const Bytes dib = velmora::test::tiny_dib();
  stretch_dib(b, SRCCOPY, {10, 20, 30, 40}, {0, 0, 2, 2}, dib);
  dib_pattern_brush(b, dib);
  dib_bitblt_without_bitmap(b, PATCOPY, 5, 6, 7, 8);
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  const RecordSpan clip = c.nth(EMR_INTERSECTCLIPRECT);
  EXPECT_EQ(c.field(clip, 8), 1);
  EXPECT_EQ(c.field(clip, 20), 4);

  // EMR_STRETCHDIBITS: bounds, xDest, yDest, xSrc, ySrc, cxSrc, cySrc,
  // offBmi, cbBmi, offBits, cbBits, usage, rop, cxDest, cyDest.
  const RecordSpan blit = c.nth(EMR_STRETCHDIBITS);
  EXPECT_EQ(c.field(blit, 24), 10);
  EXPECT_EQ(c.field(blit, 40), 2);
  EXPECT_EQ(c.field(blit, 52), 40);
  EXPECT_EQ(c.field(blit, 60), 16);
  EXPECT_EQ(c.field<std::uint32_t>(blit, 68), SRCCOPY);
  EXPECT_EQ(c.field(blit, 76), 40);
  const auto bits = static_cast<std::size_t>(c.field(blit, 56));
  EXPECT_EQ(std::memcmp(c.emf().bytes().data() + blit.offset + bits, dib.data() + 40, 16), 0);

  const RecordSpan brush = c.nth(EMR_CREATEDIBPATTERNBRUSHPT);  // ihBrush, usage, offBmi, cbBmi, offBits, cbBits
  EXPECT_EQ(c.field(brush, 20), 40);
  EXPECT_EQ(c.field(brush, 28), 16);

  const RecordSpan pat = c.nth(EMR_BITBLT);  // bounds, x, y, cx, cy, rop, ..., cbBmiSrc
  EXPECT_EQ(c.field(pat, 24), 5);
  EXPECT_EQ(c.field(pat, 36), 8);
  EXPECT_EQ(c.field<std::uint32_t>(pat, 40), PATCOPY);
  EXPECT_EQ(c.field(pat, 88), 0);
}

TEST(WmfConversion, AbsoluteRestoreBecomesRelativeAndUnmatchedRestoreIsDropped) {
  WmfBuilder b;
  save_dc(b);
  save_dc(b);
  restore_dc(b, 1);  // back to before the first save
  restore_dc(b, -1);  // nothing left to restore
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  ASSERT_EQ(c.of_type(EMR_RESTOREDC).size(), 1u);
  EXPECT_EQ(c.field(c.nth(EMR_RESTOREDC), 8), -2);
}

TEST(WmfConversion, UnknownAndUnreadableRecordsAreSkippedButCreationsHoldSlots) {
  WmfBuilder b;
  b.record(0x0999, {1, 2, 3});              // unknown
  b.record(0x0324, {100, 1, 1});            // POLYGON claiming 100 points, holding one
  b.record(0x02FA, {0});                    // CREATEPENINDIRECT cut short: slot 0, no pen
  create_pen(b, PS_SOLID, 1, kAnyColor);    // slot 1
  b.rectangle(0, 0, 5, 5);
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  EXPECT_TRUE(c.of_type(EMR_POLYGON16).empty());
  ASSERT_EQ(c.of_type(EMR_CREATEPEN).size(), 1u);
  EXPECT_EQ(c.field(c.nth(EMR_CREATEPEN), 8), 2);
  EXPECT_EQ(c.of_type(EMR_RECTANGLE).size(), 1u);
}

// --- An embedded EMF ----------------------------------------------------

TEST(WmfConversion, EmbeddedEmfIsGivenBackWhole) {
  const Bytes emf = velmora::test::EmfBuilder({0, 0, 2000, 1000}, {0, 0, 75, 37}).ellipse(1, 2, 3, 4).bytes();
  const auto half = static_cast<std::ptrdiff_t>(emf.size() / 2);
  const auto total = static_cast<std::uint32_t>(emf.size());
  WmfBuilder b;
  emf_comment(b, 2, total - static_cast<std::uint32_t>(half), total, Bytes(emf.begin(), emf.begin() + half));
  emf_comment(b, 2, 0, total, Bytes(emf.begin() + half, emf.end()));
  b.rectangle(0, 0, 10, 10);  // the WMF form of the same picture
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  EXPECT_EQ(c.emf().bytes(), emf);
  expect_rect(c.emf().header().rclFrame, 0, 0, 2000, 1000);
}

TEST(WmfConversion, InconsistentEmbeddedEmfFallsBackToTheRecords) {
  const Bytes emf = velmora::test::EmfBuilder().ellipse(1, 2, 3, 4).bytes();
  const auto total = static_cast<std::uint32_t>(emf.size());
  WmfBuilder b;
  emf_comment(b, 2, 8, total, emf);  // claims more to come than the EMF holds
  b.rectangle(0, 0, 10, 10);
  const Converted c(b.bytes());
  ASSERT_TRUE(c.handle());
  EXPECT_TRUE(c.of_type(EMR_ELLIPSE).empty());
  EXPECT_EQ(c.of_type(EMR_RECTANGLE).size(), 1u);
}

// --- The corpus --------------------------------------------------------

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderBytes = 22;
constexpr std::size_t kEmfSignatureOffset = 40;

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The WMF data of a corpus file as identification hands it over: after the
// placeable header, or the whole file; nothing for an EMF.
std::optional<Bytes> wmf_part(const Bytes& file) {
  std::uint32_t word = 0;
  if (file.size() >= 4) std::memcpy(&word, file.data(), 4);
  if (word == kPlaceableKey) {
    if (file.size() < kPlaceableHeaderBytes) return Bytes{};
    return Bytes(file.begin() + kPlaceableHeaderBytes, file.end());
  }
  if (file.size() >= kEmfSignatureOffset + 4) std::memcpy(&word, file.data() + kEmfSignatureOffset, 4);
  if (word == ENHMETA_SIGNATURE) return std::nullopt;
  return file;
}

// Plays a picture into a small DIB section; the point is that it returns.
void play(HENHMETAFILE picture) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 96, 96, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT target{0, 0, 96, 96};
  PlayEnhMetaFile(dc, picture, &target);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// Corrupts bytes of every corpus WMF, in a repeatable way, and converts
// each corruption: bad data gets a failure or a picture, never a crash.
TEST(WmfCorpus, CorruptedWmfsNeverCrashTheConversion) {
  const std::filesystem::path files = std::filesystem::path(VELMORA_SHARED_DIR) / "corpus" / "files";
  if (!std::filesystem::exists(files)) GTEST_SKIP() << "no shared corpus";
  constexpr int kCorruptionsPerFile = 4;
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  const std::size_t before = VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(files)) {
    const auto data = entry.is_regular_file() ? wmf_part(read_file(entry.path())) : std::nullopt;
    if (!data || data->size() < 24) continue;
    for (int i = 0; i < kCorruptionsPerFile; ++i) {
      Bytes bad = *data;
      for (int j = 0; j < 4; ++j) bad[18 + next() % (bad.size() - 18)] = static_cast<std::uint8_t>(next() >> 24);
      bad.resize(bad.size() - next() % 8);
      const Converted c(bad);
    }
  }
  EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE), before);
}

TEST(WmfCorpus, EveryWmfConvertsAndPlays) {
  const std::filesystem::path corpus = std::filesystem::path(VELMORA_SHARED_DIR) / "corpus";
  if (!std::filesystem::exists(corpus / "files")) GTEST_SKIP() << "no shared corpus";
  std::size_t wmfs = 0;
  std::size_t converted = 0;
  for (const char* folder : {"files", "broken"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus / folder)) {
      if (!entry.is_regular_file()) continue;
      const auto data = wmf_part(read_file(entry.path()));
      if (!data) continue;
      ++wmfs;
      const Converted c(*data);
      if (!c.handle()) {
        EXPECT_EQ(std::string(folder), "broken") << entry.path() << " was refused";
        continue;
      }
      ++converted;
      play(c.handle());
    }
  }
  std::cout << converted << " of " << wmfs << " corpus WMF files converted\n";
  EXPECT_GT(wmfs, 0u);
}

}  // namespace
