// Bounded work: pictures whose records ask for far more than their bytes
// (tiny dashes along a huge line, a hatch over a huge area, a region of a
// million rectangles, a widened path of a huge pen, records of size zero)
// are drawn through Velmora at 640 x 640, and each must finish within a
// second of processor time (wall time is stretched by whatever else the
// machine runs) and with at most 256 MiB of heap beyond the target's.
#include "core/dib_target.h"
#include "robustness/allocation_meter.h"
#include "support/emf_builder.h"
#include "support/emf_records.h"
#include "support/wmf_builder.h"

#include <velmora.h>

#include <gtest/gtest.h>

#include <ctime>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace velmora::test {
namespace {

constexpr int kSide = 640;
constexpr std::size_t kHeapBudget = std::size_t{256} << 20;
constexpr int kHuge = 1'000'000'000;  // logical units: a million times the device

// A second in an optimised build; sanitizers and debug builds run several
// times slower, and there the budget only catches work that explodes.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
constexpr double kSecondsBudget = 1.0;
#else
constexpr double kSecondsBudget = 10.0;
#endif

using Bytes = std::vector<std::uint8_t>;

double processor_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

struct Cost {
  double seconds;
  std::size_t heap_bytes;
};

Cost draw_at_640(const Bytes& emf) {
  DibTarget target(kSide, kSide);
  target.fill({255, 255, 255, 255});
  reset_heap_peak();
  const std::size_t before = live_heap_bytes();
  const double start = processor_seconds();
  if (HENHMETAFILE picture = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data())) {
    RECT rect{0, 0, kSide - 1, kSide - 1};
    Velmora(target.dc(), picture, &rect, 255, 0.0, 0.0, 0.0, 1.0, 1.0);
    DeleteEnhMetaFile(picture);
  }
  return {processor_seconds() - start, peak_heap_bytes() - before};
}

void expect_bounded(const std::string& name, const Cost& cost) {
  std::cout << name << ": " << cost.seconds * 1000 << " ms, " << (cost.heap_bytes >> 20) << " MiB\n";
  EXPECT_LT(cost.seconds, kSecondsBudget) << name;
  EXPECT_LT(cost.heap_bytes, kHeapBudget) << name;
}

// A picture whose frame maps its logical units one to one onto 640 x 640.
EmfBuilder picture() { return EmfBuilder({0, 0, 16933, 16933}, {0, 0, kSide - 1, kSide - 1}); }

std::uint32_t u(int v) { return static_cast<std::uint32_t>(v); }

// EMR_EXTCREATEPEN without a bitmap: LOGPEN_EX with its style entries.
void ext_create_pen(EmfBuilder& b, std::uint32_t index, DWORD style, int width, const std::vector<DWORD>& dashes) {
  std::vector<std::uint32_t> w = {index, 0, 0, 0, 0, style, u(width), BS_SOLID, RGB(0, 0, 0), 0,
                                  static_cast<std::uint32_t>(dashes.size())};
  w.insert(w.end(), dashes.begin(), dashes.end());
  Bytes body(w.size() * 4);
  std::memcpy(body.data(), w.data(), body.size());
  b.raw(EMR_EXTCREATEPEN, body);
}

void huge_diagonal(EmfBuilder& b) { b.move_to(-kHuge, -kHuge / 3).line_to(kHuge, kHuge / 2); }

TEST(BoundedWork, TinyDashesAlongAHugeLine) {
  EmfBuilder cosmetic = picture();
  cosmetic.create_pen(1, PS_DOT, 0, RGB(0, 0, 0)).select_object(1);
  huge_diagonal(cosmetic);
  expect_bounded("cosmetic dots", draw_at_640(cosmetic.bytes()));

  EmfBuilder user = picture();
  ext_create_pen(user, 1, PS_COSMETIC | PS_USERSTYLE, 1, {1, 1});
  user.select_object(1);
  huge_diagonal(user);
  expect_bounded("cosmetic user style 1,1", draw_at_640(user.bytes()));

  EmfBuilder geometric = picture();
  ext_create_pen(geometric, 1, PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_ROUND, 2, {1, 1});
  geometric.select_object(1);
  huge_diagonal(geometric);
  expect_bounded("geometric user style 1,1", draw_at_640(geometric.bytes()));

  EmfBuilder wide_dots = picture();
  ext_create_pen(wide_dots, 1, PS_GEOMETRIC | PS_DOT, 3, {});
  wide_dots.select_object(1);
  huge_diagonal(wide_dots);
  wide_dots.rectangle(-kHuge, -kHuge, kHuge, kHuge);
  expect_bounded("geometric dots, line and rectangle", draw_at_640(wide_dots.bytes()));
}

TEST(BoundedWork, PatternsOverAHugeArea) {
  EmfBuilder hatch = picture();
  hatch.create_brush(1, BS_HATCHED, RGB(0, 0, 200), HS_DIAGCROSS).select_object(1);
  hatch.rectangle(-kHuge, -kHuge, kHuge, kHuge).ellipse(-kHuge, -kHuge, kHuge, kHuge);
  expect_bounded("hatched rectangle and ellipse", draw_at_640(hatch.bytes()));

  EmfBuilder pattern = picture();
  create_dib_pattern_brush(pattern, 1, make_dib(1, 1, 24, {0x00FF0000}));
  pattern.select_object(1).rectangle(-kHuge, -kHuge, kHuge, kHuge);
  expect_bounded("1 x 1 pattern brush rectangle", draw_at_640(pattern.bytes()));

  // A world transform that shrinks a huge rectangle back onto the device:
  // the hatch is laid in device space, so its cells stay few.
  EmfBuilder shrunk = picture();
  shrunk.set_world_transform({1e-6f, 0, 0, 1e-6f, 320, 320});
  shrunk.create_brush(1, BS_HATCHED, RGB(200, 0, 0), HS_CROSS).select_object(1);
  shrunk.rectangle(-kHuge / 4, -kHuge / 4, kHuge / 4, kHuge / 4);
  expect_bounded("shrunk hatched rectangle", draw_at_640(shrunk.bytes()));
}

// One 1 x 1 rectangle in every other pixel of a 2000 x 1000 grid: a region
// whose bands cannot merge.
std::vector<RECTL> million_rectangles() {
  std::vector<RECTL> rects;
  rects.reserve(1'000'000);
  for (int y = 0; y < 1000; ++y) {
    for (int x = 0; x < 1000; ++x) rects.push_back({2 * x + (y % 2), y, 2 * x + (y % 2) + 1, y + 1});
  }
  return rects;
}

TEST(BoundedWork, RegionOfAMillionRectangles) {
  const std::vector<RECTL> rects = million_rectangles();
  EmfBuilder clip = picture();
  select_clip_rects(clip, rects, RGN_COPY);
  clip.rectangle(0, 0, kSide, kSide);
  expect_bounded("clip region of 10^6 rectangles", draw_at_640(clip.bytes()));

  EmfBuilder fill = picture();
  fill.create_brush(1, BS_SOLID, RGB(0, 90, 0));
  region_record(fill, EMR_FILLRGN, {1}, rects);
  region_record(fill, EMR_FRAMERGN, {1, 3, 3}, rects);
  expect_bounded("filled and framed region of 10^6 rectangles", draw_at_640(fill.bytes()));
}

TEST(BoundedWork, WidenedPathOfAHugePen) {
  EmfBuilder widened = picture();
  widened.create_pen(1, PS_SOLID, 100'000'000, RGB(0, 0, 0)).select_object(1);
  widened.record(EMR_BEGINPATH, {});
  widened.polyline16({{10, 10}, {600, 30}, {300, 600}, {20, 400}});
  widened.record(EMR_ENDPATH, {}).record(EMR_WIDENPATH, {}).record(EMR_FILLPATH, {0, 0, 640, 640});
  expect_bounded("widened path, pen 10^8", draw_at_640(widened.bytes()));

  EmfBuilder stroked = picture();
  ext_create_pen(stroked, 1, PS_GEOMETRIC | PS_DASHDOT | PS_JOIN_ROUND, kHuge, {});
  stroked.select_object(1);
  stroked.polyline16({{10, 10}, {600, 30}, {300, 600}, {20, 400}});
  huge_diagonal(stroked);
  stroked.ellipse(-kHuge, -kHuge, kHuge, kHuge);
  expect_bounded("dash-dot pen 10^9 wide", draw_at_640(stroked.bytes()));
}

TEST(BoundedWork, HugeTextAndCurves) {
  EmfBuilder huge_font = picture();
  FontTraits font;
  font.height = -100'000'000;
  create_font(huge_font, 1, font);
  huge_font.select_object(1);
  text_out(huge_font, 0, 0, std::u16string(20000, u'W'));
  expect_bounded("font 10^8 high, 20000 characters", draw_at_640(huge_font.bytes()));

  EmfBuilder long_text = picture();
  FontTraits small;
  small.height = -8;
  create_font(long_text, 1, small);
  long_text.select_object(1);
  text_out(long_text, -kHuge, 300, std::u16string(60000, u'i'));
  expect_bounded("60000 characters from far left", draw_at_640(long_text.bytes()));

  EmfBuilder ellipse = picture();
  ellipse.ellipse(-kHuge, -kHuge, kHuge, kHuge);
  ellipse.record(EMR_ARC, {u(-kHuge), u(-kHuge), u(kHuge), u(kHuge), 0, 0, 5, 5});
  expect_bounded("ellipse and arc 2 x 10^9 across", draw_at_640(ellipse.bytes()));

  EmfBuilder beziers = picture();
  std::vector<POINT> points;
  for (int i = 0; i < 30001; ++i) points.push_back({(i % 2) ? 30000 : -30000, (i % 3) ? -30000 : 30000});
  beziers.polybezier16(points);
  expect_bounded("10000 beziers 60000 across", draw_at_640(beziers.bytes()));
}

TEST(BoundedWork, DeepSavesAndManyRecords) {
  EmfBuilder saves = picture();
  for (int i = 0; i < 200'000; ++i) saves.save_dc();
  saves.rectangle(10, 10, 100, 100);
  for (int i = 0; i < 200'000; ++i) saves.restore_dc(-1);
  expect_bounded("200000 saves and restores", draw_at_640(saves.bytes()));
}

// Records whose size is zero or shorter than their header: each reader must
// refuse or step on, never loop on the same bytes.
TEST(BoundedWork, ZeroSizeRecordsEnd) {
  EmfBuilder b = picture();
  b.rectangle(0, 0, 10, 10).rectangle(20, 20, 30, 30);
  Bytes emf = b.bytes();
  const std::uint32_t header = emf[4] | emf[5] << 8 | emf[6] << 16 | emf[7] << 24;
  std::memset(emf.data() + header + 4, 0, 4);  // the first record's size
  expect_bounded("EMF record of size 0", draw_at_640(emf));

  for (std::uint32_t words : {0u, 1u, 2u}) {
    WmfBuilder w;
    w.rectangle(0, 0, 10, 10).rectangle(20, 20, 30, 30);
    Bytes wmf = w.bytes();
    std::memcpy(wmf.data() + 18, &words, 4);  // the first record's size in words
    const double start = processor_seconds();
    if (HENHMETAFILE converted = SetWinMetaFileBits(static_cast<UINT>(wmf.size()), wmf.data(), nullptr, nullptr)) {
      DibTarget target(kSide, kSide);
      RECT rect{0, 0, kSide - 1, kSide - 1};
      Velmora(target.dc(), converted, &rect, 255, 0.0, 0.0, 0.0, 1.0, 1.0);
      DeleteEnhMetaFile(converted);
    }
    EXPECT_LT(processor_seconds() - start, kSecondsBudget) << "WMF record of " << words << " words";
  }
}

// A crop window a billionth of the picture wide puts the playback rectangle
// far outside the device range; the coordinates must be clamped, not wrapped.
TEST(BoundedWork, TinyCropWindow) {
  EmfBuilder b = picture();
  b.create_brush(1, BS_HATCHED, RGB(0, 0, 200), HS_CROSS).select_object(1);
  b.ellipse(0, 0, 640, 640);
  const Bytes emf = b.bytes();
  DibTarget target(kSide, kSide);
  HENHMETAFILE handle = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  ASSERT_NE(handle, nullptr);
  RECT rect{0, 0, kSide - 1, kSide - 1};
  reset_heap_peak();
  const std::size_t before = live_heap_bytes();
  const double start = processor_seconds();
  Velmora(target.dc(), handle, &rect, 255, 0.3, 0.5, 0.5, 0.5 + 1e-9, 0.5 + 1e-9);
  const double took = processor_seconds() - start;
  DeleteEnhMetaFile(handle);
  expect_bounded("crop window 1e-9", {took, peak_heap_bytes() - before});
}

}  // namespace
}  // namespace velmora::test
