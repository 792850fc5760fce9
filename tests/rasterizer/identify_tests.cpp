// Identification of metafile bytes and the aspect fit.
#include "fit_rect.h"
#include "identify.h"
#include "support/emf_builder.h"
#include "support/wmf_builder.h"

#include <platform_diagnostics.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

using velmora::FitToAspect;
using velmora::IdentifyMetafile;
using velmora::test::EmfBuilder;
using velmora::test::WmfBuilder;
using Bytes = std::vector<std::uint8_t>;

velmora::IdentifiedMetafile identify(const Bytes& b) {
  return IdentifyMetafile(b.data(), static_cast<DWORD>(b.size()));
}

Bytes picture_bits(HENHMETAFILE h) {
  Bytes bits(GetEnhMetaFileBits(h, 0, nullptr));
  GetEnhMetaFileBits(h, static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

WmfBuilder small_wmf() {
  WmfBuilder wmf;
  wmf.set_window_org(0, 0).set_window_ext(400, 200).rectangle(10, 10, 390, 190);
  return wmf;
}

class IdentifyTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE), 0u); }

  // Deletes the picture of an identification (when there is one) and gives its aspect.
  static float release(const velmora::IdentifiedMetafile& id) {
    if (id.picture) DeleteEnhMetaFile(id.picture);
    return id.aspect;
  }
};

TEST_F(IdentifyTest, EnhancedMetafileTakesItsAspectFromTheFrameNotTheBounds) {
  const Bytes emf = EmfBuilder({0, 0, 210, 297}, {0, 0, 999, 9}).rectangle(0, 0, 5, 5).bytes();
  const velmora::IdentifiedMetafile id = identify(emf);
  ASSERT_NE(id.picture, nullptr);
  EXPECT_EQ(picture_bits(id.picture), emf) << "the whole file goes to the system";
  EXPECT_EQ(release(id), 0.707070708f);
}

TEST_F(IdentifyTest, EnhancedMetafileIsToldBySignatureAloneAndKeepsItsAspectWhenRefused) {
  Bytes emf = EmfBuilder({100, 100, 500, 300}).bytes();
  const std::uint32_t not_a_header = 0x12345678;
  std::memcpy(emf.data(), &not_a_header, 4);  // the record type plays no part in telling the kind
  const velmora::IdentifiedMetafile id = identify(emf);
  EXPECT_EQ(id.picture, nullptr) << "the system refuses a first record that is not a header";
  EXPECT_EQ(release(id), 2.0f);
}

TEST_F(IdentifyTest, PlaceableMetafileReadsItsSignedBox) {
  const WmfBuilder wmf = small_wmf();
  const velmora::IdentifiedMetafile id = identify(wmf.placeable(-100, -50, 300, 250));
  EXPECT_EQ(id.aspect, 1.33333337f);
  ASSERT_NE(id.picture, nullptr);
  // The system was given the data after the 22-byte header, and exactly
  // that, with the box as the picture's size: 400 x 300 twips in 0.01 mm.
  const Bytes plain = wmf.bytes();
  const METAFILEPICT box_size{MM_ANISOTROPIC, 706, 529, nullptr};
  HENHMETAFILE direct = SetWinMetaFileBits(static_cast<UINT>(plain.size()), plain.data(), nullptr, &box_size);
  ASSERT_NE(direct, nullptr);
  EXPECT_EQ(picture_bits(id.picture), picture_bits(direct));
  DeleteEnhMetaFile(direct);
  release(id);

  EXPECT_EQ(release(identify(wmf.placeable(-30000, 0, 10000, 20000))), 2.0f) << "-30000 is not 35536";
}

TEST_F(IdentifyTest, PlaceableKeyWinsEvenWithRefusedData) {
  Bytes file = WmfBuilder().placeable(0, 0, 300, 100);
  file.resize(22);
  file.insert(file.end(), 40, 0xFF);  // not a WMF
  const std::uint32_t signature = ENHMETA_SIGNATURE;
  std::memcpy(file.data() + 40, &signature, 4);  // nor an EMF, though it carries the signature
  const velmora::IdentifiedMetafile id = identify(file);
  EXPECT_EQ(id.picture, nullptr);
  EXPECT_EQ(release(id), 3.0f);
}

TEST_F(IdentifyTest, PlainMetafileTakesItsAspectFromTheConvertedHeader) {
  const velmora::IdentifiedMetafile id = identify(small_wmf().bytes());
  ASSERT_NE(id.picture, nullptr);
  ENHMETAHEADER header{};
  ASSERT_NE(GetEnhMetaFileHeader(id.picture, sizeof header, &header), 0u);
  const RECTL& f = header.rclFrame;
  EXPECT_EQ(id.aspect, static_cast<float>(double(f.right - f.left) / double(f.bottom - f.top)));
  release(id);
}

TEST_F(IdentifyTest, UnknownDataGivesNoPictureAndAspectOne) {
  const Bytes junk(200, 0x5A);
  const velmora::IdentifiedMetafile id = identify(junk);
  EXPECT_EQ(id.picture, nullptr);
  EXPECT_EQ(id.aspect, 1.0f);
  EXPECT_EQ(IdentifyMetafile(nullptr, 100).picture, nullptr);
}

TEST_F(IdentifyTest, ShortDataNeverReadsBeyondItsEnd) {
  const Bytes emf = EmfBuilder({0, 0, 400, 100}).bytes();
  const Bytes placeable = small_wmf().placeable(0, 0, 400, 100);
  for (std::size_t n = 0; n <= 44; ++n) {
    // Each prefix in a block of exactly its size, so that a sanitizer sees any over-read.
    const Bytes emf_prefix(emf.begin(), emf.begin() + static_cast<std::ptrdiff_t>(n));
    const velmora::IdentifiedMetafile as_emf = identify(emf_prefix);
    EXPECT_EQ(as_emf.picture, nullptr) << n;
    EXPECT_EQ(release(as_emf), n < 44 ? 1.0f : 4.0f) << n;

    const Bytes placeable_prefix(placeable.begin(), placeable.begin() + static_cast<std::ptrdiff_t>(n));
    const float aspect = release(identify(placeable_prefix));
    if (n >= 22) {
      EXPECT_EQ(aspect, 4.0f) << n << ": a whole placeable header";
    }
  }
}

Bytes read_test_file(const char* name) {
  std::ifstream in(std::string(VELMORA_TEST_DATA) + "/corpus/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST_F(IdentifyTest, RealFilesOfEachKind) {
  const velmora::IdentifiedMetafile emf = identify(read_test_file("wrench.emf"));
  EXPECT_NE(emf.picture, nullptr);
  EXPECT_EQ(release(emf), static_cast<float>(5938.0 / 3594.0));  // frame (9375, -19250, 15313, -15656)

  const velmora::IdentifiedMetafile placeable = identify(read_test_file("64716_image1.wmf"));
  EXPECT_NE(placeable.picture, nullptr);
  EXPECT_EQ(release(placeable), static_cast<float>(1622.0 / 1093.0));  // box (0, 0, 1622, 1093)

  const velmora::IdentifiedMetafile plain = identify(read_test_file("test_embedded_zip_image3.wmf"));
  EXPECT_NE(plain.picture, nullptr);
  EXPECT_TRUE(std::isfinite(release(plain)));
}

TEST(FitToAspect, ShrinksToTheRatioAnchoredTopLeft) {
  const auto fit = [](RECT bounds, float aspect) {
    const RECT r = FitToAspect(bounds, aspect);
    return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
  };
  EXPECT_EQ(fit({0, 0, 400, 300}, 2.0f), (std::vector<LONG>{0, 0, 400, 200}));
  EXPECT_EQ(fit({10, 20, 410, 320}, 0.5f), (std::vector<LONG>{10, 20, 160, 320}));
  EXPECT_EQ(fit({0, 0, 400, 300}, 1.0f), (std::vector<LONG>{0, 0, 300, 300})) << "1.0 takes the second branch";
  EXPECT_EQ(fit({0, 0, 800, 300}, 2.0f), (std::vector<LONG>{0, 0, 600, 300}));
  EXPECT_EQ(fit({0, 0, 400, 400}, static_cast<float>(210.0 / 297.0)), (std::vector<LONG>{0, 0, 282, 400}));
  EXPECT_EQ(fit({0, 0, 1000, 1000}, static_cast<float>(4.0 / 3.0)), (std::vector<LONG>{0, 0, 1000, 749}));
}

TEST(FitToAspect, DegenerateRatiosStayInsideTheBounds) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  const std::vector<RECT> all_bounds = {{0, 0, 400, 300},
                                        {-5, -7, 3, 9},
                                        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
                                        {0, 0, INT32_MAX, 1},
                                        {0, 0, 1, INT32_MAX}};
  for (const RECT& b : all_bounds) {
    for (float aspect : {kInf, kNaN, 0.0f, 1e30f, 1e-30f, 3.0e38f, 1.0e-45f}) {
      const RECT r = FitToAspect(b, aspect);
      EXPECT_EQ(r.left, b.left);
      EXPECT_EQ(r.top, b.top);
      EXPECT_TRUE(r.right >= b.left && r.right <= b.right) << aspect << " right " << r.right;
      EXPECT_TRUE(r.bottom >= b.top && r.bottom <= b.bottom) << aspect << " bottom " << r.bottom;
    }
  }
}

}  // namespace
