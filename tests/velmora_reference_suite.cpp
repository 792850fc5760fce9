// Velmora's own anti-aliased output against images kept from a run that
// was checked by eye: shapes, text, a turned picture, a crop and partial
// alpha, each drawn onto a coloured target. The comparison is exact (every
// channel of every pixel within 1), so any change to the capture, the
// resampling, the composition or the player under them shows.
//
// VELMORA_UPDATE_OWN_REFERENCES=1 writes the images anew from the current
// output (tests/reference/velmora/<case>.png); look at them before keeping
// them.
#include "core/dib_target.h"
#include "support/emf_builder.h"
#include "support/emf_records.h"

#include "common/png_io.h"

#include <gtest/gtest.h>
#include <velmora.h>

#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <ostream>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const fs::path kOwnReferenceDir = fs::path(VELMORA_TEST_DATA).parent_path() / "reference" / "velmora";

constexpr int kSize = 128;  // the target, in pixels; the picture spans 96 x 96 logical units
constexpr COLORREF kRed = RGB(220, 40, 40);
constexpr COLORREF kBlue = RGB(30, 60, 200);
constexpr COLORREF kGreen = RGB(20, 160, 60);
constexpr Bgra kBackdrop = {200, 230, 245, 255};  // a light blue-grey, so partial alpha shows

struct OwnCase {
  const char* name;
  void (*records)(EmfBuilder&);
  double angle = 0;
  double crop[4] = {0, 0, 1, 1};
  unsigned char alpha = 255;
};

void shapes(EmfBuilder& b) {
  b.create_pen(1, PS_SOLID, 4, kBlue).select_object(1);
  b.create_brush(2, BS_SOLID, kGreen).select_object(2);
  b.ellipse(8, 8, 60, 60);
  b.create_brush(3, BS_SOLID, kRed).select_object(3);
  b.set_poly_fill_mode(WINDING).polygon16({{48, 6}, {74, 88}, {6, 36}, {90, 36}, {22, 88}});
  b.create_pen(4, PS_SOLID, 0, RGB(0, 0, 0)).select_object(4);
  for (int i = 0; i < 6; ++i) b.move_to(4, 70 + 4 * i).line_to(92, 62 + 6 * i);
}

void text(EmfBuilder& b) {
  FontTraits latin;
  latin.height = -22;
  create_font(b, 1, latin);
  FontTraits cjk;
  cjk.height = -20;
  cjk.face = u"SimSun";
  create_font(b, 2, cjk);
  b.set_bk_mode(TRANSPARENT).set_text_color(kBlue).select_object(1);
  text_out(b, 4, 6, u"Velmora");
  b.select_object(2).set_text_color(kRed);
  text_out(b, 4, 34, u"漢字か한");
  FontTraits turned = latin;
  turned.height = -18;
  turned.escapement = turned.orientation = 300;
  create_font(b, 3, turned);
  b.select_object(3).set_text_color(RGB(0, 0, 0));
  text_out(b, 10, 76, u"Turned");
}

// Names the case in test output.
void PrintTo(const OwnCase& c, std::ostream* os) { *os << c.name; }

const OwnCase kCases[] = {
    {"shapes", shapes},
    {"text", text},
    {"turned", shapes, std::numbers::pi / 6},
    {"crop", shapes, 0, {0.25, 0.2, 0.8, 0.75}},
    {"partial_alpha", shapes, 0, {0, 0, 1, 1}, 128},
};

// 96 x 96 logical units on the builder's reference device (3.2 pixels per
// millimetre, so a unit is 31.25 hundredths of a millimetre of frame).
EmfBuilder picture_builder() { return EmfBuilder(RECTL{0, 0, 3000, 3000}, RECTL{0, 0, 95, 95}); }

// The picture drawn by Velmora into a target filled with the backdrop.
tools::Image draw(const OwnCase& c) {
  EmfBuilder b = picture_builder();
  c.records(b);
  const std::vector<std::uint8_t> bytes = b.bytes();
  HENHMETAFILE picture = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  DibTarget target(kSize, kSize);
  target.fill(kBackdrop);
  RECT rect{8, 8, kSize - 9, kSize - 9};
  const int ok = picture ? Velmora(target.dc(), picture, &rect, c.alpha, c.angle, c.crop[0], c.crop[1], c.crop[2],
                                   c.crop[3])
                         : 0;
  if (picture) DeleteEnhMetaFile(picture);
  if (!ok) return {};
  return {kSize, kSize, target.snapshot()};
}

bool update_requested() {
  const char* v = std::getenv("VELMORA_UPDATE_OWN_REFERENCES");
  return v && std::string(v) == "1";
}

int differing_pixels(const tools::Image& expected, const tools::Image& actual) {
  int bad = 0;
  for (std::size_t i = 0; i + 3 < expected.bgra.size(); i += 4) {
    for (int c = 0; c < 3; ++c) {
      if (std::abs(int(expected.bgra[i + c]) - int(actual.bgra[i + c])) > 1) {
        ++bad;
        break;
      }
    }
  }
  return bad;
}

class OwnReference : public testing::TestWithParam<OwnCase> {};

TEST_P(OwnReference, MatchesTheKeptImage) {
  const OwnCase& c = GetParam();
  const tools::Image actual = draw(c);
  ASSERT_EQ(actual.bgra.size(), static_cast<std::size_t>(kSize) * kSize * 4) << "Velmora did not draw " << c.name;
  const fs::path kept = kOwnReferenceDir / (std::string(c.name) + ".png");
  if (update_requested()) {
    fs::create_directories(kOwnReferenceDir);
    ASSERT_TRUE(tools::write_png(kept.string(), actual, false));
  }
  tools::Image expected;
  ASSERT_TRUE(tools::read_png(kept.string(), expected)) << kept;
  ASSERT_EQ(expected.bgra.size(), actual.bgra.size());
  const int bad = differing_pixels(expected, actual);
  if (bad > 0) {
    const fs::path out = fs::current_path() / "reference-diffs" / "velmora" / (std::string(c.name) + ".png");
    fs::create_directories(out.parent_path());
    tools::write_png(out.string(), actual, false);
  }
  EXPECT_EQ(bad, 0) << c.name << ": our output is in reference-diffs/velmora/ in the build directory";
}

std::string case_name(const testing::TestParamInfo<OwnCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Cases, OwnReference, testing::ValuesIn(kCases), case_name);

}  // namespace
}  // namespace velmora::test
