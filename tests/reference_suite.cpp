// The reference-image suite: every tests/reference/<group>/<case>.emf is
// played into a white 32-bit DIB of the size of <case>.png beside it, the
// platform player's own rendering, and the two are compared.
//
// Tolerance, by group (kGroupTolerances below):
// - shapes, brushes, clip, rops and bitmaps: exact. A pixel matches when each
//   channel is within 1 of the expected pixel at the same place (no shift
//   forgiven); a case passes when no ink pixel mismatches, unless it states
//   a looser share with its reason (reference/cases_*.cpp). The count of
//   cases that match pixel for pixel is printed per group.
// - text: a pixel matches within 48 per channel at or next to its place, and
//   10 % of the ink pixels may mismatch: the platform rasterises glyphs with
//   its own hinting engine and grey levels, which FreeType follows in shape
//   and advance but not pixel for pixel.
// Ink pixels are those not near-white in either image. On failure a diff
// image (expected | mismatches in red | ours) is written to reference-diffs/
// in the build directory.
//
// VELMORA_UPDATE_REFERENCES=1 regenerates every case: it writes the .emf from
// the case's records (or the .wmf of a WMF case) and renders the .png with
// the reference player in ../shared/tools/oracle (Wine);
// VELMORA_UPDATE_REFERENCES=new does so only for cases without a .png yet. tests/reference/skip.txt lists cases to skip,
// each with its reason.
#include "reference/cases.h"

#include "common/png_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

struct Tolerance {
  int channel;          // largest difference per channel that still matches
  bool forgive_shift;   // a pixel may match a neighbour of its place
  double max_mismatch;  // share of ink pixels that may mismatch
};

constexpr Tolerance kExact{1, false, 0.0};
constexpr Tolerance kText{48, true, 0.10};
constexpr int kInkLevel = 250;

Tolerance group_tolerance(const std::string& id) { return id.rfind("text/", 0) == 0 ? kText : kExact; }

const fs::path kReferenceDir = fs::path(VELMORA_TEST_DATA).parent_path() / "reference";

std::string update_requested() {
  const char* v = std::getenv("VELMORA_UPDATE_REFERENCES");
  return v ? v : "";
}

void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Renders one .emf with the reference player; true when the PNG was written.
bool render_with_oracle(const fs::path& emf, const fs::path& png, int width, int height) {
  const fs::path oracle = fs::path(VELMORA_SHARED_DIR) / "tools" / "oracle";
  const fs::path bmp = png.string() + ".bmp";
  std::ostringstream cmd;
  cmd << "sh " << oracle / "emfref.sh" << ' ' << emf << ' ' << bmp << ' ' << width << ' ' << height
      << " >/dev/null && /usr/bin/python3 " << oracle / "bmp2png.py" << ' ' << bmp << ' ' << png << " >/dev/null";
  const bool ok = std::system(cmd.str().c_str()) == 0;
  fs::remove(bmp);
  return ok;
}

// The case's file: EMF records, or a plain WMF.
fs::path write_case(const ReferenceCase& c) {
  const fs::path base = kReferenceDir / c.group / c.name;
  if (c.wmf) {
    write_file(base.string() + ".wmf", c.wmf());
    return base.string() + ".wmf";
  }
  EmfBuilder b = canvas(c.width, c.height);
  c.records(b);
  write_file(base.string() + ".emf", b.bytes());
  return base.string() + ".emf";
}

// "1" renders every case anew, "new" only the cases without an image yet.
void regenerate_references(bool only_new) {
  for (const ReferenceCase& c : all_reference_cases()) {
    const fs::path png = kReferenceDir / c.group / (c.name + ".png");
    if (only_new && fs::exists(png)) continue;
    const fs::path metafile = write_case(c);
    if (!render_with_oracle(metafile, png, c.width, c.height)) {
      ADD_FAILURE() << "the reference player could not render " << metafile;
    }
  }
}

std::map<std::string, std::string> skip_list() {
  std::map<std::string, std::string> skips;
  std::ifstream in(kReferenceDir / "skip.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto space = line.find(' ');
    skips[line.substr(0, space)] = space == std::string::npos ? "" : line.substr(space + 1);
  }
  return skips;
}

struct Loosened {
  double max_mismatch;
  std::string reason;
};

std::map<std::string, Loosened> loosened_cases() {
  std::map<std::string, Loosened> out;
  for (const ReferenceCase& c : all_reference_cases()) {
    if (c.max_mismatch > 0) out[c.group + "/" + c.name] = {c.max_mismatch, c.reason};
  }
  return out;
}

std::vector<std::string> discover_cases() {
  if (update_requested() == "1" || update_requested() == "new") regenerate_references(update_requested() == "new");
  std::vector<std::string> ids;
  if (!fs::is_directory(kReferenceDir)) return ids;
  for (const auto& entry : fs::recursive_directory_iterator(kReferenceDir)) {
    const fs::path p = entry.path();
    if ((p.extension() == ".emf" || p.extension() == ".wmf") && fs::exists(fs::path(p).replace_extension(".png"))) {
      ids.push_back(fs::relative(p, kReferenceDir).replace_extension().generic_string());
    }
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::vector<std::uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Plays the EMF (or the plain WMF, converted) into a white DIB of width x
// height, as the reference player does.
tools::Image play(const std::vector<std::uint8_t>& bytes, bool wmf, int width, int height) {
  tools::Image out;
  const auto size = static_cast<UINT>(bytes.size());
  HENHMETAFILE picture =
      wmf ? SetWinMetaFileBits(size, bytes.data(), nullptr, nullptr) : SetEnhMetaFileBits(size, bytes.data());
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (picture && dc && bitmap && bits) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::fill_n(static_cast<std::uint32_t*>(bits), static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
    RECT rect{0, 0, width, height};
    PlayEnhMetaFile(dc, picture, &rect);
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    out = {width, height, std::vector<std::uint8_t>(bytes, bytes + static_cast<std::size_t>(width) * height * 4)};
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  if (picture) DeleteEnhMetaFile(picture);
  return out;
}

int channel_distance(const std::uint8_t* a, const std::uint8_t* b) {
  int d = 0;
  for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(a[c]) - int(b[c])));
  return d;
}

bool is_ink(const std::uint8_t* p) { return p[0] < kInkLevel || p[1] < kInkLevel || p[2] < kInkLevel; }

// True when pixel (x, y) of `a` is within tolerance of `b` at (x, y), or
// next to it when shifts are forgiven.
bool matches_nearby(const tools::Image& a, const tools::Image& b, int x, int y, const Tolerance& t) {
  const int reach = t.forgive_shift ? 1 : 0;
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const int nx = std::clamp(x + dx, 0, b.width - 1), ny = std::clamp(y + dy, 0, b.height - 1);
      if (channel_distance(&a.bgra[(y * a.width + x) * 4], &b.bgra[(ny * b.width + nx) * 4]) <= t.channel) {
        return true;
      }
    }
  }
  return false;
}

struct Comparison {
  double mismatch = 0;
  int bad_pixels = 0;
  std::vector<bool> bad;
};

Comparison compare(const tools::Image& expected, const tools::Image& actual, const Tolerance& t) {
  Comparison result;
  result.bad.assign(static_cast<std::size_t>(expected.width) * expected.height, false);
  int ink = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * expected.width + x;
      if (!is_ink(&expected.bgra[i * 4]) && !is_ink(&actual.bgra[i * 4])) continue;
      ++ink;
      if (matches_nearby(expected, actual, x, y, t) && matches_nearby(actual, expected, x, y, t)) continue;
      ++result.bad_pixels;
      result.bad[i] = true;
    }
  }
  result.mismatch = ink ? static_cast<double>(result.bad_pixels) / ink : 0.0;
  return result;
}

// Per group: how many cases ran and how many matched pixel for pixel;
// printed when the suite ends.
struct GroupTally {
  int cases = 0;
  int exact = 0;
};

std::map<std::string, GroupTally>& tallies() {
  static std::map<std::string, GroupTally> t;
  return t;
}

class TallyPrinter : public testing::Environment {
 public:
  void TearDown() override {
    for (const auto& [group, t] : tallies())
      std::printf("reference suite: %s: %d of %d cases match exactly\n", group.c_str(), t.exact, t.cases);
  }
};

const testing::Environment* const kTallyPrinter = testing::AddGlobalTestEnvironment(new TallyPrinter);

void write_diff(const std::string& id, const tools::Image& expected, const tools::Image& actual,
                const Comparison& cmp) {
  const int w = expected.width, h = expected.height;
  tools::Image diff{3 * w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(3 * w) * h * 4, 255)};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 4;
      std::copy_n(&expected.bgra[i], 4, &diff.bgra[(static_cast<std::size_t>(y) * 3 * w + x) * 4]);
      std::copy_n(&actual.bgra[i], 4, &diff.bgra[(static_cast<std::size_t>(y) * 3 * w + 2 * w + x) * 4]);
      if (cmp.bad[i / 4]) {
        std::uint8_t* m = &diff.bgra[(static_cast<std::size_t>(y) * 3 * w + w + x) * 4];
        m[0] = 0, m[1] = 0, m[2] = 255;
      }
    }
  }
  const fs::path out = fs::current_path() / "reference-diffs" / (id + ".png");
  fs::create_directories(out.parent_path());
  tools::write_png(out.string(), diff, false);
}

class ReferenceSuite : public testing::TestWithParam<std::string> {};

TEST_P(ReferenceSuite, MatchesThePlatformPlayer) {
  const std::string id = GetParam();
  const auto skips = skip_list();
  if (auto it = skips.find(id); it != skips.end()) GTEST_SKIP() << it->second;

  tools::Image expected;
  ASSERT_TRUE(tools::read_png((kReferenceDir / (id + ".png")).string(), expected));
  const bool wmf = fs::exists(kReferenceDir / (id + ".wmf"));
  const tools::Image actual =
      play(read_file(kReferenceDir / (id + (wmf ? ".wmf" : ".emf"))), wmf, expected.width, expected.height);
  ASSERT_EQ(actual.bgra.size(), expected.bgra.size()) << "the picture could not be played";

  Tolerance tolerance = group_tolerance(id);
  const auto loosened = loosened_cases();
  if (auto it = loosened.find(id); it != loosened.end()) tolerance.max_mismatch = it->second.max_mismatch;
  const Comparison cmp = compare(expected, actual, tolerance);
  GroupTally& tally = tallies()[id.substr(0, id.find('/'))];
  ++tally.cases;
  if (compare(expected, actual, kExact).bad_pixels == 0) ++tally.exact;
  if (cmp.mismatch > tolerance.max_mismatch) write_diff(id, expected, actual, cmp);
  EXPECT_LE(cmp.mismatch, tolerance.max_mismatch)
      << id << ": " << cmp.bad_pixels << " pixels differ; see reference-diffs/" << id << ".png in the build directory";
}

std::string case_name(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReferenceSuite, testing::ValuesIn(discover_cases()), case_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReferenceSuite);

}  // namespace
}  // namespace velmora::test
