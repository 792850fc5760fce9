#include "window/system_colors.h"

namespace velmora::window {
namespace {

// A light desktop: white windows with black text, grey dialog faces.
COLORREF system_color(int index) {
  switch (index) {
    case COLOR_WINDOW:
      return RGB(255, 255, 255);
    case COLOR_BTNFACE:
      return RGB(240, 240, 240);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
      return RGB(0, 0, 0);
    default:
      return RGB(192, 192, 192);
  }
}

// System colour indices run from 0 to 30; as brushes they are 1 to 31.
constexpr ULONG_PTR kLastSystemBrush = 31;

}  // namespace

std::optional<COLORREF> brush_color(HBRUSH brush) {
  const auto value = reinterpret_cast<ULONG_PTR>(brush);
  if (value == 0) return std::nullopt;
  if (value <= kLastSystemBrush) return system_color(static_cast<int>(value - 1));
  LOGBRUSH logbrush{};
  if (GetObjectW(brush, sizeof(logbrush), &logbrush) != sizeof(logbrush) || logbrush.lbStyle != BS_SOLID)
    return std::nullopt;
  return logbrush.lbColor;
}

void erase_background(Window& window) {
  std::optional<COLORREF> color = brush_color(window.background);
  if (color) window.store.fill({0, 0, window.client.cx, window.client.cy}, *color);
}

}  // namespace velmora::window

DWORD WINAPI GetSysColor(int nIndex) { return velmora::window::system_color(nIndex); }
