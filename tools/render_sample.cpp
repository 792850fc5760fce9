// velmora-render-sample [picture.emf|.wmf] [output directory]
//
// Draws a metafile twice, 800 x 800 on white: with the platform's
// plain player and with Velmora, and writes <name>-plain.png and
// <name>-velmora.png side by side for comparison.
#include <velmora.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/canvas.h"
#include "fit_rect.h"
#include "identify.h"

namespace {

constexpr int kSide = 800;

// The whole file, identified by content (placeable WMF, EMF or plain WMF).
velmora::IdentifiedMetafile load_picture(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!file.good() && !file.eof()) return {};
  return velmora::IdentifyMetafile(bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool render_plain(HENHMETAFILE picture, const RECT& rect, const std::string& out) {
  velmora::tools::Canvas canvas(kSide, kSide);
  if (!canvas.valid()) return false;
  canvas.fill_white();
  PlayEnhMetaFile(canvas.dc(), picture, &rect);
  return canvas.write_png(out);
}

// Velmora takes right and bottom as inclusive.
bool render_velmora(HENHMETAFILE picture, const RECT& rect, const std::string& out) {
  velmora::tools::Canvas canvas(kSide, kSide);
  if (!canvas.valid()) return false;
  canvas.fill_white();
  RECT inclusive{rect.left, rect.top, rect.right - 1, rect.bottom - 1};
  if (!Velmora(canvas.dc(), picture, &inclusive, 255, 0.0, 0.0, 0.0, 1.0, 1.0)) return false;
  return canvas.write_png(out);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path input = argc > 1 ? argv[1] : "samples/tiger.emf";
  const std::filesystem::path out_dir = argc > 2 ? argv[2] : "out";
  const velmora::IdentifiedMetafile identified = load_picture(input);
  HENHMETAFILE picture = identified.picture;
  if (!picture) {
    std::fprintf(stderr, "%s: not a readable metafile\n", input.string().c_str());
    return 1;
  }
  std::error_code ignored;
  std::filesystem::create_directories(out_dir, ignored);
  const RECT rect = velmora::FitToAspect(RECT{0, 0, kSide, kSide}, identified.aspect);
  const std::string stem = input.stem().string();
  const std::string plain = (out_dir / (stem + "-plain.png")).string();
  const std::string smooth = (out_dir / (stem + "-velmora.png")).string();
  const bool plain_ok = render_plain(picture, rect, plain);
  const bool smooth_ok = render_velmora(picture, rect, smooth);
  DeleteEnhMetaFile(picture);
  if (plain_ok) std::printf("wrote %s (plain player)\n", plain.c_str());
  if (smooth_ok) std::printf("wrote %s (Velmora)\n", smooth.c_str());
  if (!plain_ok || !smooth_ok) std::fprintf(stderr, "could not render or write every image\n");
  return plain_ok && smooth_ok ? 0 : 1;
}
