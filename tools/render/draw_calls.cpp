#include "render/draw_calls.h"

#include <velmora.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>

namespace velmora::render {
namespace {

// UTF-8 to the platform's wide characters (UTF-32); none for bytes that are
// not UTF-8, which then go through the picture handle instead.
std::optional<std::wstring> to_wide(const std::string& utf8) {
  std::wstring wide;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + extra >= utf8.size()) return std::nullopt;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = code << 6 | (next & 0x3F);
    }
    wide.push_back(static_cast<wchar_t>(code));
    i += extra + 1;
  }
  return wide;
}

// Premultiplied colour of a drawn pixel at opacity `alpha` over `under`.
std::uint8_t over(std::uint8_t drawn, std::uint8_t under, unsigned alpha) {
  return static_cast<std::uint8_t>((drawn * alpha + under * (255 - alpha) + 127) / 255);
}

}  // namespace

bool draw_smooth(HDC dc, const Source& source, const Options& options, int width, int height) {
  RECT rect{0, 0, width - 1, height - 1};  // right and bottom inclusive
  const double angle = options.angle_degrees * std::numbers::pi / 180.0;
  const auto alpha = static_cast<unsigned char>(options.alpha);
  if (!source.path.empty() && options.crop.whole()) {
    if (const std::optional<std::wstring> wide = to_wide(source.path)) {
      return VelmoraFileW(dc, wide->c_str(), &rect, alpha, false, angle) != 0;
    }
  }
  const Crop& c = options.crop;
  return Velmora(dc, source.picture.handle.get(), &rect, alpha, angle, c.left, c.top, c.right, c.bottom) != 0;
}

// The whole picture is played into a rectangle so much larger than the
// canvas, and so placed, that the crop window lands on the canvas.
bool draw_plain(HDC dc, const Source& source, const Options& options, int width, int height) {
  const Crop& c = options.crop;
  const double whole_width = width / (c.right - c.left);
  const double whole_height = height / (c.bottom - c.top);
  const auto left = static_cast<LONG>(std::lround(-c.left * whole_width));
  const auto top = static_cast<LONG>(std::lround(-c.top * whole_height));
  const RECT rect{left, top, left + static_cast<LONG>(std::lround(whole_width)),
                  top + static_cast<LONG>(std::lround(whole_height))};
  const BOOL played = PlayEnhMetaFile(dc, source.picture.handle.get(), &rect);
  GdiFlush();
  return played != FALSE;
}

void finish_plain(tools::Canvas& canvas, const Options& options) {
  const Background& bg = options.background;
  const unsigned alpha = static_cast<unsigned>(options.alpha);
  for (int y = 0; y < canvas.height(); ++y) {
    std::uint8_t* p = canvas.row(y);
    for (int x = 0; x < canvas.width(); ++x, p += 4) {
      const bool drawn = p[3] == 0;
      const unsigned a = drawn ? alpha : 0;
      if (bg.transparent) {
        p[0] = over(p[0], 0, a);
        p[1] = over(p[1], 0, a);
        p[2] = over(p[2], 0, a);
        p[3] = static_cast<std::uint8_t>(a);
      } else {
        p[0] = over(drawn ? p[0] : 0, bg.blue, a);
        p[1] = over(drawn ? p[1] : 0, bg.green, a);
        p[2] = over(drawn ? p[2] : 0, bg.red, a);
        p[3] = 255;
      }
    }
  }
}

}  // namespace velmora::render
