// Real pictures drawn by the plain player and by Velmora at several sizes
// and angles must give exactly the bytes kept in tests/data/kept: a hash of
// every rendering (renderings.txt) and, for a few, the image itself (PNG),
// so that work on speed cannot change a pixel unnoticed. The pictures and
// where they come from are listed in tests/data/kept/SOURCES.md.
//
// When a change to the drawing is meant, draw the table again with
//   VELMORA_KEPT_REWRITE=1 ./kept_renderings_tests
// which rewrites renderings.txt and the PNGs in the source tree; the commit
// that does so says which pixels changed and why.
#include "core/dib_target.h"
#include "fit_rect.h"
#include "identify.h"

#include "common/png_io.h"
#include <velmora.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using velmora::test::DibTarget;

const fs::path kKept = fs::path(VELMORA_TEST_DATA) / "kept";

enum class Drawer { Player, Velmora };

// One rendering: a picture drawn by one drawer onto a white target.
struct Rendering {
  std::string file;
  Drawer drawer;
  int width;
  int height;
  double angle;  // Velmora only
  bool keep_png;

  std::string key() const {
    char text[160];
    std::snprintf(text, sizeof text, "%s %s %dx%d %.3f", file.c_str(), drawer == Drawer::Player ? "player" : "velmora",
                  width, height, angle);
    return text;
  }
  std::string png_name() const {
    std::string name = key();
    for (char& c : name) {
      if (c == ' ') c = '_';
    }
    return name + ".png";
  }
};

std::vector<std::string> kept_pictures() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kKept, error)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".emf" || ext == ".wmf") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The plain player as the corpus references are drawn (640 x 640, fitted),
// an odd small size, and Velmora straight, turned and at a tall size. Two
// pictures' small renderings are kept as images too.
std::vector<Rendering> renderings() {
  std::vector<Rendering> all;
  for (const std::string& file : kept_pictures()) {
    const bool first = file == "document__vector_image.emf" || file == "wmf__fulltest.wmf";
    all.push_back({file, Drawer::Player, 640, 640, 0.0, false});
    all.push_back({file, Drawer::Player, 203, 157, 0.0, first});
    all.push_back({file, Drawer::Velmora, 320, 240, 0.0, first});
    all.push_back({file, Drawer::Velmora, 161, 161, 0.5, first});
    all.push_back({file, Drawer::Velmora, 97, 300, 2.25, false});
  }
  return all;
}

std::vector<BYTE> read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// FNV-1a over every byte of every pixel, top row first.
std::uint64_t hash_of(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::uint8_t b : bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return h;
}

std::vector<std::uint8_t> draw(const Rendering& r) {
  const std::vector<BYTE> bytes = read_bytes(kKept / r.file);
  const velmora::IdentifiedMetafile id = velmora::IdentifyMetafile(bytes.data(), static_cast<DWORD>(bytes.size()));
  DibTarget target(r.width, r.height);
  target.fill({255, 255, 255, 255});
  if (!id.picture) return target.snapshot();
  const RECT fitted = velmora::FitToAspect(RECT{0, 0, r.width, r.height}, id.aspect);
  if (r.drawer == Drawer::Player) {
    PlayEnhMetaFile(target.dc(), id.picture, &fitted);
  } else {
    RECT inclusive{fitted.left, fitted.top, fitted.right - 1, fitted.bottom - 1};
    Velmora(target.dc(), id.picture, &inclusive, 255, r.angle, 0.0, 0.0, 1.0, 1.0);
  }
  DeleteEnhMetaFile(id.picture);
  return target.snapshot();
}

std::map<std::string, std::string> kept_hashes() {
  std::map<std::string, std::string> table;
  std::ifstream in(kKept / "renderings.txt");
  for (std::string line; std::getline(in, line);) {
    const std::size_t cut = line.rfind(' ');
    if (line.empty() || line[0] == '#' || cut == std::string::npos) continue;
    table[line.substr(0, cut)] = line.substr(cut + 1);
  }
  return table;
}

std::string hex(std::uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// Where two renderings of one size differ: the count and the bounding box.
std::string difference(const std::vector<std::uint8_t>& kept, const std::vector<std::uint8_t>& now, int width) {
  int count = 0, left = width, top = 1 << 30, right = -1, bottom = -1;
  for (std::size_t i = 0; i + 3 < kept.size() && i + 3 < now.size(); i += 4) {
    if (std::equal(kept.begin() + i, kept.begin() + i + 4, now.begin() + i)) continue;
    const int x = static_cast<int>(i / 4 % width), y = static_cast<int>(i / 4 / width);
    ++count;
    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
  }
  std::ostringstream text;
  text << count << " pixels differ";
  if (count > 0) text << " in (" << left << ", " << top << ")-(" << right << ", " << bottom << ")";
  return text.str();
}

bool rewriting() { return std::getenv("VELMORA_KEPT_REWRITE") != nullptr; }

TEST(KeptRenderings, EveryPictureDrawsTheKeptBytes) {
  if (rewriting()) GTEST_SKIP() << "rewriting the kept renderings";
  const std::vector<Rendering> all = renderings();
  ASSERT_GE(all.size(), 50u) << "the kept pictures are missing";
  const auto table = kept_hashes();
  for (const Rendering& r : all) {
    SCOPED_TRACE(r.key());
    const auto kept = table.find(r.key());
    ASSERT_NE(kept, table.end()) << "no kept hash; draw the table again";
    const std::vector<std::uint8_t> now = draw(r);
    if (hex(hash_of(now)) == kept->second) continue;
    velmora::tools::Image image;
    const bool have_png = r.keep_png && velmora::tools::read_png((kKept / r.png_name()).string(), image);
    ADD_FAILURE() << "drawn bytes changed"
                  << (have_png ? ": " + difference(image.bgra, now, r.width) : std::string());
  }
}

// The kept images are the bytes their hashes were made from.
TEST(KeptRenderings, KeptImagesMatchTheirHashes) {
  if (rewriting()) GTEST_SKIP() << "rewriting the kept renderings";
  const auto table = kept_hashes();
  int images = 0;
  for (const Rendering& r : renderings()) {
    if (!r.keep_png) continue;
    velmora::tools::Image image;
    ASSERT_TRUE(velmora::tools::read_png((kKept / r.png_name()).string(), image)) << r.png_name();
    EXPECT_EQ(hex(hash_of(image.bgra)), table.at(r.key())) << r.key();
    ++images;
  }
  EXPECT_GE(images, 3);
}

TEST(KeptRenderings, Rewrite) {
  if (!rewriting()) GTEST_SKIP() << "set VELMORA_KEPT_REWRITE to draw the table again";
  std::ofstream out(kKept / "renderings.txt");
  out << "# picture drawer size angle fnv1a64-of-bgra-rows (see kept_renderings_tests.cpp)\n";
  for (const Rendering& r : renderings()) {
    const std::vector<std::uint8_t> now = draw(r);
    out << r.key() << ' ' << hex(hash_of(now)) << '\n';
    if (r.keep_png) {
      ASSERT_TRUE(velmora::tools::write_png((kKept / r.png_name()).string(), now.data(), r.width, r.height,
                                            4 * static_cast<std::ptrdiff_t>(r.width), true));
    }
  }
}

}  // namespace
