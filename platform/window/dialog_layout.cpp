#include "window/dialog_layout.h"

#include <algorithm>

namespace velmora::window {
namespace {

constexpr int kScreenDpi = 96;
constexpr int kPointsPerInch = 72;
constexpr wchar_t kLatinLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// a * b / c rounded to the nearest integer, as MulDiv does.
LONG scaled(LONG a, LONG b, LONG c) {
  const long long p = static_cast<long long>(a) * b;
  return static_cast<LONG>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}

}  // namespace

RECT DialogUnits::to_pixels(const RECT& box) const {
  return {scaled(box.left, base_x, 4), scaled(box.top, base_y, 8), scaled(box.right, base_x, 4),
          scaled(box.bottom, base_y, 8)};
}

LOGFONTW dialog_font(const DialogTemplate& dialog) {
  LOGFONTW font{};
  font.lfHeight = -scaled(dialog.point_size, kScreenDpi, kPointsPerInch);
  font.lfWeight = dialog.weight;
  font.lfItalic = dialog.italic;
  font.lfCharSet = DEFAULT_CHARSET;
  const std::size_t n = std::min<std::size_t>(dialog.face.size(), LF_FACESIZE - 1);
  std::copy_n(dialog.face.begin(), n, font.lfFaceName);
  return font;
}

DialogUnits measure_dialog_units(const DialogTemplate& dialog) {
  DialogUnits units;
  if (!(dialog.style & DS_SETFONT)) return units;
  const LOGFONTW logfont = dialog_font(dialog);
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirectW(&logfont);
  if (dc && font) {
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE letters{};
    if (GetTextExtentPoint32W(dc, kLatinLetters, 52, &letters) && letters.cx > 0 && letters.cy > 0) {
      units.base_x = (letters.cx / 26 + 1) / 2;
      units.base_y = letters.cy;
    }
    SelectObject(dc, previous);
  }
  if (font) DeleteObject(font);
  if (dc) DeleteDC(dc);
  return units;
}

}  // namespace velmora::window
