// What velmora-render draws and reports: the sizes it picks, --crop,
// --angle and --plain against the same calls made here directly, the
// --compare layout, the alpha channel, and --info's numbers on known files.
#include <gtest/gtest.h>
#include <velmora.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "common/canvas.h"
#include "common/png_io.h"
#include "support/emf_builder.h"
#include "tools/command_runner.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VELMORA_TEST_DATA;
const fs::path kTiger = fs::path(VELMORA_SOURCE_DIR) / "samples/tiger.emf";

// Left half red, right half blue, on a 100 mm square frame (320 logical
// units on the builder's reference device).
std::vector<std::uint8_t> two_halves() {
  EmfBuilder emf;
  emf.select_stock(NULL_PEN)
      .create_brush(1, BS_SOLID, RGB(255, 0, 0))
      .select_object(1)
      .rectangle(0, 0, 161, 321)
      .create_brush(2, BS_SOLID, RGB(0, 0, 255))
      .select_object(2)
      .rectangle(160, 0, 321, 321);
  return emf.bytes();
}

tools::Image rendered(const std::vector<std::string>& args) {
  const ScratchFolder dir;
  std::vector<std::string> all = args;
  all.insert(all.end(), {"-o", (dir / "out.png").string()});
  const CommandResult r = run_render(all);
  EXPECT_EQ(r.status, 0) << r.err;
  tools::Image image;
  EXPECT_TRUE(tools::read_png((dir / "out.png").string(), image));
  return image;
}

// The library's own drawing onto opaque white, top-down B, G, R, A.
template <class Draw>
tools::Image drawn_directly(int width, int height, Draw draw) {
  tools::Canvas canvas(width, height);
  canvas.fill_white();
  draw(canvas.dc());
  tools::Image image{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
  for (int y = 0; y < height; ++y)
    std::copy_n(canvas.row(y), width * 4, image.bgra.begin() + std::ptrdiff_t(y) * width * 4);
  return image;
}

HENHMETAFILE open_tiger() {
  const std::string bytes = read_bytes(kTiger);
  return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), reinterpret_cast<const BYTE*>(bytes.data()));
}

const std::uint8_t* pixel(const tools::Image& image, int x, int y) {
  return &image.bgra[(std::size_t(y) * image.width + x) * 4];
}

TEST(RenderSizes, TheDefaultIsTheFrameAt96DpiAndOneSideKeepsTheAspect) {
  // The tiger's frame is 52.99 mm square: 200.3 pixels at 96 DPI.
  const tools::Image own = rendered({kTiger.string()});
  EXPECT_EQ(own.width, 200);
  EXPECT_EQ(own.height, 200);
  const tools::Image doubled = rendered({"--dpi", "192", kTiger.string()});
  EXPECT_EQ(doubled.width, 401);
  // wrench.emf's frame is wider than high.
  const fs::path wrench = kData / "corpus/wrench.emf";
  const tools::Image wide = rendered({"--width", "300", wrench.string()});
  const tools::Image fitted = rendered({"--size", "300x2000", wrench.string()});
  EXPECT_EQ(wide.width, 300);
  EXPECT_LT(wide.height, 300);
  EXPECT_EQ(fitted.width, wide.width);
  EXPECT_EQ(fitted.height, wide.height);
  const tools::Image stretched = rendered({"--size", "300x2000", "--no-fit", wrench.string()});
  EXPECT_EQ(stretched.height, 2000);
  const tools::Image thumb = rendered({"--thumbnail", "128", wrench.string()});
  EXPECT_EQ(thumb.width, 128);
  // The crop window's own proportions set the default shape: a quarter of
  // the width, all of the height.
  const tools::Image strip = rendered({"--crop", "0,0,0.25,1", kTiger.string()});
  EXPECT_EQ(strip.width, 50);
  EXPECT_EQ(strip.height, 200);
}

TEST(RenderPictures, CropAndAngleDrawWhatVelmoraDrawsForThem) {
  HENHMETAFILE tiger = open_tiger();
  ASSERT_NE(tiger, nullptr);
  const tools::Image cropped =
      rendered({"--crop", "0.25,0.1,0.75,0.6", "--width", "160", "-b", "white", kTiger.string()});
  const tools::Image expected_crop = drawn_directly(160, 160, [&](HDC dc) {
    RECT rect{0, 0, 159, 159};
    Velmora(dc, tiger, &rect, 255, 0.0, 0.25, 0.1, 0.75, 0.6);
  });
  EXPECT_EQ(cropped.width, 160);
  EXPECT_EQ(cropped.bgra, expected_crop.bgra);
  const tools::Image turned = rendered({"--angle", "30", "--width", "160", "-b", "white", kTiger.string()});
  const tools::Image expected_turn = drawn_directly(160, 160, [&](HDC dc) {
    RECT rect{0, 0, 159, 159};
    Velmora(dc, tiger, &rect, 255, 30.0 * std::acos(-1.0) / 180.0, 0.0, 0.0, 1.0, 1.0);
  });
  EXPECT_EQ(turned.bgra, expected_turn.bgra);
  EXPECT_NE(turned.bgra, rendered({"--width", "160", "-b", "white", kTiger.string()}).bgra);
  DeleteEnhMetaFile(tiger);
}

TEST(RenderPictures, CropKeepsThePartAsked) {
  const ScratchFolder dir;
  write_bytes(dir / "halves.emf", two_halves());
  const tools::Image left = rendered({"--crop", "0,0,0.5,1", "--size", "40x80", (dir / "halves.emf").string()});
  const tools::Image right = rendered({"--crop", "0.5,0,1,1", "--size", "40x80", (dir / "halves.emf").string()});
  for (int y = 2; y < 78; y += 5) {
    for (int x = 2; x < 38; x += 5) {
      EXPECT_EQ(pixel(left, x, y)[2], 255) << x << "," << y;  // red
      EXPECT_EQ(pixel(left, x, y)[0], 0);
      EXPECT_EQ(pixel(right, x, y)[0], 255);  // blue
      EXPECT_EQ(pixel(right, x, y)[2], 0);
    }
  }
}

TEST(RenderPictures, PlainIsTheBarePlayerOnTheBackground) {
  HENHMETAFILE tiger = open_tiger();
  const tools::Image plain = rendered({"--plain", "--width", "120", "-b", "white", kTiger.string()});
  tools::Image expected = drawn_directly(120, 120, [&](HDC dc) {
    RECT rect{0, 0, 120, 120};
    PlayEnhMetaFile(dc, tiger, &rect);
  });
  for (std::size_t i = 3; i < expected.bgra.size(); i += 4)
    expected.bgra[i] = 255;  // the player leaves 0 where it draws
  ASSERT_EQ(plain.bgra.size(), expected.bgra.size());
  EXPECT_EQ(plain.bgra, expected.bgra);
  DeleteEnhMetaFile(tiger);
}

TEST(RenderPictures, TransparentOutputKeepsStraightAlphaAndOpacity) {
  const ScratchFolder dir;
  write_bytes(dir / "halves.emf", two_halves());
  const std::string halves = (dir / "halves.emf").string();
  const tools::Image clear = rendered({"--size", "64x64", "--alpha", "128", halves});
  EXPECT_EQ(pixel(clear, 10, 10)[3], 128);
  EXPECT_EQ(pixel(clear, 10, 10)[2], 255);  // the colour is stored unpremultiplied
  const tools::Image on_black = rendered({"--size", "64x64", "--alpha", "128", "-b", "black", halves});
  EXPECT_EQ(pixel(on_black, 10, 10)[3], 255);
  EXPECT_NEAR(pixel(on_black, 10, 10)[2], 128, 1);
}

TEST(RenderPictures, CompareSetsBothRenderingsSideBySideUnderLabels) {
  const tools::Image both = rendered({"--compare", "--width", "100", "-b", "white", kTiger.string()});
  const tools::Image plain = rendered({"--plain", "--width", "100", "-b", "white", kTiger.string()});
  const tools::Image smooth = rendered({"--width", "100", "-b", "white", kTiger.string()});
  ASSERT_EQ(both.width, 200);
  ASSERT_EQ(both.height, 130);
  int label_ink = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 200; ++x) label_ink += pixel(both, x, y)[0] < 128;
  }
  EXPECT_GT(label_ink, 50) << "both labels drawn";
  for (int y = 0; y < 100; ++y) {
    EXPECT_TRUE(std::equal(pixel(plain, 0, y), pixel(plain, 0, y) + 400, pixel(both, 0, y + 30))) << y;
    EXPECT_TRUE(std::equal(pixel(smooth, 0, y), pixel(smooth, 0, y) + 400, pixel(both, 100, y + 30))) << y;
  }
}

TEST(RenderInfo, TheTigersNumbers) {
  const CommandResult r = run_render({"--info", "--json", kTiger.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json info = nlohmann::json::parse(r.out);
  EXPECT_EQ(info["kind"], "EMF");
  EXPECT_EQ(info["file_bytes"], 124552);
  EXPECT_EQ(info["emf_header"]["frame"], nlohmann::json::array({0, 0, 5299, 5299}));
  EXPECT_EQ(info["emf_header"]["bounds"], nlohmann::json::array({0, 0, 2503, 2503}));
  EXPECT_EQ(info["emf_header"]["records"], 3676);
  EXPECT_EQ(info["record_count"], 3676);
  EXPECT_EQ(info["aspect_ratio"], 1.0);
  EXPECT_EQ(info["output_size"], nlohmann::json::array({200, 200}));
  EXPECT_EQ(info["record_types"]["EMR_POLYBEZIERTO"], 1879);
  EXPECT_EQ(info["record_types"]["EMR_HEADER"], 1);
  EXPECT_EQ(info["emf_plus"], false);
  const CommandResult text = run_render({"--info", kTiger.string()});
  EXPECT_NE(text.out.find("kind: EMF\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  frame: 0 0 5299 5299\n"), std::string::npos);
  EXPECT_NE(text.out.find("  EMR_POLYBEZIERTO: 1879\n"), std::string::npos);
}

TEST(RenderInfo, AWmfShowsItsOwnHeaderAndRecordsAndSeveralFilesMakeOneArray) {
  const fs::path placeable = kData / "corpus/64716_image1.wmf";
  const fs::path plain = kData / "corpus/test_embedded_zip_image3.wmf";
  const CommandResult r = run_render({"--json", placeable.string(), plain.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json all = nlohmann::json::parse(r.out);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]["kind"], "placeable WMF");
  EXPECT_TRUE(all[0]["placeable"].contains("units_per_inch"));
  EXPECT_EQ(all[1]["kind"], "WMF");
  for (const nlohmann::json& info : all) {
    EXPECT_EQ(info["wmf_header"]["header_words"], 9);
    EXPECT_EQ(info["record_types"]["META_EOF"], 1);
    int sum = 0;
    for (const auto& [name, count] : info["record_types"].items()) sum += count.get<int>();
    EXPECT_EQ(sum, info["record_count"]);
    EXPECT_TRUE(info.contains("emf_header")) << "the converted picture's header";
  }
}

}  // namespace
}  // namespace velmora::test
