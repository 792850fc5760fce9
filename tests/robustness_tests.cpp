// Every metafile of the shared corpus, real and deliberately broken, and
// every input the fuzz targets ever crashed or hung on (fuzz/regressions)
// goes through the file entry point at a small size: whatever the bytes hold, the call gives
// 0 or 1, leaves the caller's rectangle alone and releases every object it
// made. The corpus is not part of the repository, so its tests skip when it
// is absent; the regression inputs always run.
//
// A crash here names the corpus folder; velmora-render-corpus plays a
// folder one file per child process and names the file.
#include "robustness/hostile_input.h"

#include <velmora.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using velmora::test::Bytes;
using velmora::test::LiveObjects;
using velmora::test::SmallCanvas;

// Small, to keep the corpus run short under AddressSanitizer: the capture is
// still twice this size plus the frame.
constexpr int kTargetSide = 96;
// The fuzz targets' canvas size, so that a regression input replays as found.
constexpr int kFuzzCanvasSide = 48;

const fs::path kCorpus = fs::path(VELMORA_SHARED_DIR) / "corpus";
const fs::path kRegressions = fs::path(VELMORA_FUZZ_INPUTS) / "regressions";

std::vector<fs::path> files_under(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(dir, error)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<fs::path> subfolders(const fs::path& dir) {
  std::vector<fs::path> folders;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    if (entry.is_directory()) folders.push_back(entry.path());
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

Bytes read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// VelmoraFileW into a fresh target, fitted, as the viewer calls it.
void expect_file_draws_cleanly(const fs::path& file) {
  const LiveObjects before = LiveObjects::now();
  {
    const SmallCanvas target(kTargetSide);
    RECT rect = target.bounds();
    const RECT original = rect;
    const int result = VelmoraFileW(target.dc(), file.wstring().c_str(), &rect, 255, true, 0.0);
    EXPECT_TRUE(result == 0 || result == 1) << file << " gave " << result;
    EXPECT_EQ(std::memcmp(&rect, &original, sizeof rect), 0) << file << " wrote the caller's rectangle";
  }
  const LiveObjects after = LiveObjects::now();
  EXPECT_EQ(after, before) << file << " left objects alive: " << after.changes_since(before);
}

// The corpus folders, one test each: files/<source> and broken/<source>.
std::vector<fs::path> corpus_folders() {
  std::vector<fs::path> folders = subfolders(kCorpus / "files");
  const std::vector<fs::path> broken = subfolders(kCorpus / "broken");
  folders.insert(folders.end(), broken.begin(), broken.end());
  if (folders.empty()) folders.push_back({});  // one test, to report the skip
  return folders;
}

std::string folder_test_name(const ::testing::TestParamInfo<fs::path>& info) {
  if (info.param.empty()) return "CorpusAbsent";
  std::string name = info.param.parent_path().filename().string() + "_" + info.param.filename().string();
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

class CorpusFolder : public ::testing::TestWithParam<fs::path> {};

TEST_P(CorpusFolder, EveryFileDrawsOrFailsCleanly) {
  if (GetParam().empty()) GTEST_SKIP() << "no metafile corpus at " << kCorpus;
  const std::vector<fs::path> files = files_under(GetParam());
  for (const fs::path& file : files) expect_file_draws_cleanly(file);
  RecordProperty("files", static_cast<int>(files.size()));
}

INSTANTIATE_TEST_SUITE_P(Shared, CorpusFolder, ::testing::ValuesIn(corpus_folders()), folder_test_name);

// Each input that once crashed or leaked, replayed through every reader of
// metafile bytes: the file entry point, and the EMF player and the WMF
// conversion on the bytes as the fuzz targets gave them.
TEST(RegressionInputs, EachIsReadWithoutHarm) {
  const std::vector<fs::path> inputs = files_under(kRegressions);
  ASSERT_FALSE(inputs.empty()) << "the regression inputs are missing from " << kRegressions;
  for (const fs::path& input : inputs) {
    expect_file_draws_cleanly(input);
    const LiveObjects before = LiveObjects::now();
    const Bytes bytes = read_file(input);
    velmora::test::play_emf_bytes(bytes, kFuzzCanvasSide);
    velmora::test::convert_and_play_wmf_bytes(bytes, kFuzzCanvasSide);
    const LiveObjects after = LiveObjects::now();
    EXPECT_EQ(after, before) << input << " left objects alive: " << after.changes_since(before);
  }
}

}  // namespace
