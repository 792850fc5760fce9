// SetEnhMetaFileBits and its companions: which data is refused, which real
// file faults are forgiven, and how the header and bits are handed back.
#include "emf/enh_metafile.h"
#include "support/emf_builder.h"

#include <platform_diagnostics.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using velmora::test::EmfBuilder;
using Bytes = std::vector<std::uint8_t>;

// Header layout offsets (MS-EMF 2.3.4.2).
constexpr std::size_t kSizeField = 4;
constexpr std::size_t kSignatureField = 40;
constexpr std::size_t kBytesField = 48;
constexpr std::size_t kRecordsField = 52;
constexpr std::size_t kHeaderSize = 108;

void put32(Bytes& b, std::size_t offset, std::uint32_t v) { std::memcpy(b.data() + offset, &v, 4); }

// A small picture: header, one rectangle, EOF.
Bytes small_picture() { return EmfBuilder({0, 0, 2100, 2970}).rectangle(1, 2, 30, 40).bytes(); }
constexpr std::size_t kRectangleOffset = kHeaderSize;  // the first record after the header
constexpr std::size_t kRectangleSize = 24;

// A header record cut to `size` bytes (88 or 100 in files from old systems).
Bytes with_short_header(std::uint32_t size) {
  const Bytes full = small_picture();
  Bytes b(full.begin(), full.begin() + size);
  b.insert(b.end(), full.begin() + kHeaderSize, full.end());
  put32(b, kSizeField, size);
  return b;
}

HENHMETAFILE set_bits(const Bytes& b) { return SetEnhMetaFileBits(static_cast<UINT>(b.size()), b.data()); }

class EnhMetaFileTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(VelmoraPlatformLiveObjects(OBJ_ENHMETAFILE), 0u); }

  // Expects the data to be accepted and releases the picture at once.
  static void expect_accepted(const Bytes& b) {
    HENHMETAFILE h = set_bits(b);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(DeleteEnhMetaFile(h));
  }
};

TEST_F(EnhMetaFileTest, RefusesDataThatCannotBeAnEnhancedMetafile) {
  EXPECT_EQ(SetEnhMetaFileBits(100, nullptr), nullptr);
  const Bytes good = small_picture();
  EXPECT_EQ(SetEnhMetaFileBits(0, good.data()), nullptr);
  EXPECT_EQ(SetEnhMetaFileBits(87, good.data()), nullptr) << "shorter than the oldest header form";
  EXPECT_EQ(SetEnhMetaFileBits(100, good.data()), nullptr) << "header record runs past the data";

  Bytes not_header = good;
  put32(not_header, 0, EMR_EOF);
  EXPECT_EQ(set_bits(not_header), nullptr);
  Bytes bad_signature = good;
  put32(bad_signature, kSignatureField, 0x464D4521);
  EXPECT_EQ(set_bits(bad_signature), nullptr);
  EXPECT_EQ(set_bits(with_short_header(84)), nullptr) << "header record too small to hold the header";
}

TEST_F(EnhMetaFileTest, RefusesARecordWithAnImpossibleSize) {
  for (std::uint32_t size : {0u, 4u, 22u, 0x7FFFFFFCu}) {
    Bytes b = small_picture();
    put32(b, kRectangleOffset + 4, size);
    EXPECT_EQ(set_bits(b), nullptr) << "record size " << size;
  }
  Bytes odd_header = small_picture();
  put32(odd_header, kSizeField, 110);
  EXPECT_EQ(set_bits(odd_header), nullptr);
}

TEST_F(EnhMetaFileTest, ForgivesWrongHeaderCounts) {
  Bytes b = small_picture();
  put32(b, kBytesField, 12);
  put32(b, kRecordsField, 1000);
  expect_accepted(b);
  put32(b, kBytesField, 0xFFFFFFFF);
  put32(b, kRecordsField, 0);
  expect_accepted(b);
}

TEST_F(EnhMetaFileTest, StopsAtEndOfFileRecord) {
  Bytes b = small_picture();
  const std::size_t picture_size = b.size();
  b.insert(b.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});  // garbage after EMR_EOF
  HENHMETAFILE h = set_bits(b);
  ASSERT_NE(h, nullptr);
  const auto* emf = velmora::platform::lookup<velmora::platform::EnhMetaFile>(h);
  ASSERT_NE(emf, nullptr);
  ASSERT_EQ(emf->records().size(), 3u);
  EXPECT_EQ(emf->records()[1].type, static_cast<std::uint32_t>(EMR_RECTANGLE));
  EXPECT_EQ(emf->records()[2].type, static_cast<std::uint32_t>(EMR_EOF));
  EXPECT_EQ(GetEnhMetaFileBits(h, 0, nullptr), picture_size);
  EXPECT_TRUE(DeleteEnhMetaFile(h));
}

TEST_F(EnhMetaFileTest, KeepsTheRecordsOfDataThatEndsWithoutEndOfFile) {
  const Bytes full = small_picture();
  const Bytes cut(full.begin(), full.begin() + kRectangleOffset + kRectangleSize + 5);  // EOF lost, a 5-byte tail
  HENHMETAFILE h = set_bits(cut);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(velmora::platform::lookup<velmora::platform::EnhMetaFile>(h)->records().size(), 2u);
  EXPECT_TRUE(DeleteEnhMetaFile(h));
}

TEST_F(EnhMetaFileTest, AcceptsOldShortHeadersAndZerosTheMissingFields) {
  for (std::uint32_t size : {88u, 100u}) {
    const Bytes b = with_short_header(size);
    const std::unique_ptr<velmora::platform::EnhMetaFile> parsed = velmora::platform::parse_enh_metafile(b);
    ASSERT_NE(parsed, nullptr) << size;
    EXPECT_EQ(parsed->header().rclFrame.bottom, 2970);
    EXPECT_EQ(parsed->header().szlMicrometers.cx, 0) << "the builder wrote 320000 beyond the short header";
    EXPECT_EQ(parsed->records().size(), 3u);

    HENHMETAFILE h = set_bits(b);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetEnhMetaFileHeader(h, 0, nullptr), size);
    ENHMETAHEADER header{};
    EXPECT_EQ(GetEnhMetaFileHeader(h, sizeof header, &header), size);
    EXPECT_TRUE(DeleteEnhMetaFile(h));
  }
}

TEST_F(EnhMetaFileTest, HeaderCopySemantics) {
  // A header record that carries a description string after the structure.
  Bytes b = small_picture();
  Bytes described(b.begin(), b.begin() + kHeaderSize);
  described.insert(described.end(), 16, 0);
  described.insert(described.end(), b.begin() + kHeaderSize, b.end());
  put32(described, kSizeField, kHeaderSize + 16);
  HENHMETAFILE h = set_bits(described);
  ASSERT_NE(h, nullptr);

  EXPECT_EQ(GetEnhMetaFileHeader(h, 0, nullptr), kHeaderSize) << "the size is capped at the structure";
  ENHMETAHEADER header{};
  EXPECT_EQ(GetEnhMetaFileHeader(h, 1000, &header), kHeaderSize);
  EXPECT_EQ(header.iType, static_cast<DWORD>(EMR_HEADER));
  EXPECT_EQ(header.dSignature, static_cast<DWORD>(ENHMETA_SIGNATURE));
  EXPECT_EQ(header.rclFrame.right, 2100);

  ENHMETAHEADER partial;
  std::memset(&partial, 0xAB, sizeof partial);
  EXPECT_EQ(GetEnhMetaFileHeader(h, 8, &partial), 8u);
  EXPECT_EQ(partial.nSize, kHeaderSize + 16);
  EXPECT_EQ(partial.rclBounds.left, static_cast<LONG>(0xABABABAB)) << "nothing beyond the asked size is written";

  EXPECT_TRUE(DeleteEnhMetaFile(h));
  EXPECT_EQ(GetEnhMetaFileHeader(h, sizeof header, &header), 0u) << "a deleted handle";
  EXPECT_EQ(GetEnhMetaFileHeader(nullptr, sizeof header, &header), 0u);
}

TEST_F(EnhMetaFileTest, BitsAreAPrivateCopy) {
  Bytes b = small_picture();
  HENHMETAFILE h = set_bits(b);
  ASSERT_NE(h, nullptr);
  std::fill(b.begin(), b.end(), 0);

  Bytes back(GetEnhMetaFileBits(h, 0, nullptr));
  EXPECT_EQ(GetEnhMetaFileBits(h, static_cast<UINT>(back.size()), back.data()), back.size());
  EXPECT_EQ(back, small_picture());
  Bytes head(16);
  EXPECT_EQ(GetEnhMetaFileBits(h, 16, head.data()), 16u);
  EXPECT_TRUE(DeleteEnhMetaFile(h));
  EXPECT_EQ(GetEnhMetaFileBits(h, 16, head.data()), 0u);
}

TEST_F(EnhMetaFileTest, DeleteRefusesUnknownHandles) {
  EXPECT_FALSE(DeleteEnhMetaFile(nullptr));
  EXPECT_FALSE(DeleteEnhMetaFile(reinterpret_cast<HENHMETAFILE>(0x1234)));
  HENHMETAFILE h = set_bits(small_picture());
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(DeleteEnhMetaFile(h));
  EXPECT_FALSE(DeleteEnhMetaFile(h)) << "twice";
}

// Every file of a corpus folder whose content is an EMF.
std::vector<std::filesystem::path> emf_files_under(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    Bytes head(44);
    if (entry.is_regular_file() && in.read(reinterpret_cast<char*>(head.data()), 44)) {
      std::uint32_t signature;
      std::memcpy(&signature, head.data() + kSignatureField, 4);
      if (signature == ENHMETA_SIGNATURE) found.push_back(entry.path());
    }
  }
  return found;
}

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST_F(EnhMetaFileTest, AcceptsEveryRealEnhancedMetafile) {
  const std::filesystem::path shared = VELMORA_SHARED_DIR;
  if (!std::filesystem::exists(shared / "corpus/files")) GTEST_SKIP() << "no shared corpus";
  std::vector<std::filesystem::path> files = emf_files_under(shared / "corpus/files");
  for (const auto& sample : emf_files_under(shared / "samples")) files.push_back(sample);
  EXPECT_GT(files.size(), 200u);
  for (const auto& path : files) {
    HENHMETAFILE h = set_bits(read_file(path));
    EXPECT_NE(h, nullptr) << path;
    if (h) DeleteEnhMetaFile(h);
  }
}

TEST_F(EnhMetaFileTest, BrokenFilesAreRefusedOrIndexedSafely) {
  const std::filesystem::path broken = std::filesystem::path(VELMORA_SHARED_DIR) / "corpus/broken";
  if (!std::filesystem::exists(broken)) GTEST_SKIP() << "no shared corpus";
  for (const auto& path : emf_files_under(broken)) {
    const Bytes b = read_file(path);
    HENHMETAFILE h = set_bits(b);
    if (!h) continue;
    const auto* emf = velmora::platform::lookup<velmora::platform::EnhMetaFile>(h);
    for (const auto& r : emf->records()) EXPECT_LE(std::size_t{r.offset} + r.size, emf->bytes().size()) << path;
    DeleteEnhMetaFile(h);
  }
}

}  // namespace
