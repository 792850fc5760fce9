#include "text/glyph_pixels.h"

#include "common/limits.h"

#include <cmath>

namespace velmora::platform {
namespace {

// One run per stretch of set pixels; bitmap row 0 is `top` rows below the origin.
std::vector<GlyphPixelRun> bitmap_runs(const FT_Bitmap& bitmap, long left, long top) {
  std::vector<GlyphPixelRun> runs;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* bits = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    long run_start = -1;
    for (unsigned col = 0; col <= bitmap.width; ++col) {
      const bool set = col < bitmap.width && (bits[col >> 3] & (0x80 >> (col & 7))) != 0;
      if (set && run_start < 0) run_start = col;
      if (!set && run_start >= 0) {
        runs.push_back({top + static_cast<long>(row), left + run_start, left + static_cast<long>(col)});
        run_start = -1;
      }
    }
  }
  return runs;
}

}  // namespace

std::optional<std::vector<GlyphPixelRun>> two_level_pixels(FT_Library library, const LoadedGlyph& glyph) {
  std::vector<FT_Vector> points = glyph.points();
  FT_Outline outline = glyph.outline_over(points);
  FT_BBox box;
  FT_Outline_Get_CBox(&outline, &box);
  const long x0 = static_cast<long>(std::floor(box.xMin / 64.0)), y0 = static_cast<long>(std::floor(box.yMin / 64.0));
  const long x1 = static_cast<long>(std::ceil(box.xMax / 64.0)), y1 = static_cast<long>(std::ceil(box.yMax / 64.0));
  if (x1 <= x0 || y1 <= y0) return std::vector<GlyphPixelRun>{};  // a blank glyph
  if ((x1 - x0) * (y1 - y0) > limits::kMaxGlyphBitmapPixels) return std::nullopt;
  const auto width = static_cast<unsigned>(x1 - x0), rows = static_cast<unsigned>(y1 - y0);
  const int pitch = static_cast<int>((width + 7) / 8);
  std::vector<unsigned char> buffer(static_cast<std::size_t>(pitch) * rows);
  FT_Bitmap bitmap{};
  bitmap.rows = rows;
  bitmap.width = width;
  bitmap.pitch = pitch;
  bitmap.buffer = buffer.data();
  bitmap.num_grays = 2;
  bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
  FT_Outline_Translate(&outline, -x0 * 64, -y0 * 64);
  if (FT_Outline_Get_Bitmap(library, &outline, &bitmap) != 0) return std::nullopt;
  return bitmap_runs(bitmap, x0, -y1);  // the outline's y runs up, rows down
}

}  // namespace velmora::platform
