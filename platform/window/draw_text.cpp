// DrawTextW for one line: the text measured and placed in the rectangle by
// the format's alignment, drawn through the platform's own text output and
// clipped to the rectangle. An ampersand marks a mnemonic and is not drawn
// (two give one) unless DT_NOPREFIX; line breaking is not done.
#include <windows.h>

#include <string>

namespace {

std::wstring without_prefixes(const std::wstring& text) {
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size())
      ++i;
    else if (text[i] == L'&')
      continue;
    shown.push_back(text[i]);
  }
  return shown;
}

LONG aligned_x(const RECT& r, LONG width, UINT format) {
  if (format & DT_CENTER) return r.left + (r.right - r.left - width) / 2;
  if (format & DT_RIGHT) return r.right - width;
  return r.left;
}

LONG aligned_y(const RECT& r, LONG height, UINT format) {
  if ((format & DT_VCENTER) && (format & DT_SINGLELINE)) return r.top + (r.bottom - r.top - height) / 2;
  return r.top;
}

}  // namespace

// Returns the height of the drawn text, 0 on failure.
int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  if (!lpchText || !lprc || cchText < -1) return 0;
  try {
    std::wstring text = cchText == -1 ? std::wstring(lpchText) : std::wstring(lpchText, cchText);
    if (!(format & DT_NOPREFIX)) text = without_prefixes(text);
    SIZE extent{};
    if (!GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &extent)) return 0;
    const LONG x = aligned_x(*lprc, extent.cx, format), y = aligned_y(*lprc, extent.cy, format);
    if (!ExtTextOutW(hdc, x, y, ETO_CLIPPED, lprc, text.c_str(), static_cast<UINT>(text.size()), nullptr)) return 0;
    return extent.cy;
  } catch (...) {
    return 0;
  }
}
