// The gdi32 text entry points that programs call directly (window labels,
// dialog text): fonts made from a LOGFONTW, one-line output and its extent.
// They lay out and paint through the same text code as metafile playback.
#include "common/no_throw.h"
#include "emf/text_drawing.h"
#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
#include "text/text_layout.h"

#include <agg_bounding_rect.h>

#include <string>

using namespace velmora::platform;

namespace {

std::u32string code_points(LPCWSTR text, int count) {
  std::u32string codes;
  for (int i = 0; i < count; ++i) codes.push_back(static_cast<char32_t>(text[i]));
  return codes;
}

bool valid_run(LPCWSTR text, int count) {
  return (text || count == 0) && count >= 0 && static_cast<std::size_t>(count) <= kMaxGlyphsPerRun;
}

BOOL text_out(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
  DeviceContext* dc = lookup_dc(hdc);
  if (!dc || !valid_run(text, static_cast<int>(count))) return FALSE;
  TextOut out;
  out.reference = {x, y};
  out.options = options & (ETO_OPAQUE | ETO_CLIPPED);
  if (rect) out.rect = *rect;
  out.codes = code_points(text, static_cast<int>(count));
  if (dx) out.dx.assign(dx, dx + count);
  draw_text_out(*dc, out, dc->state().graphics_mode);
  return TRUE;
}

// The cell box of the text laid out at the origin in MM_TEXT: its width is
// the sum of the advances, its height the font's cell height.
BOOL text_extent(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
  DeviceContext* dc = lookup_dc(hdc);
  if (!dc || !size || !valid_run(text, count)) return FALSE;
  const std::u32string codes = code_points(text, count);
  TextLayoutInput in;
  in.font = font_request_from(dc->state().font_traits);
  in.codes = codes;
  in.opaque_background = true;
  std::optional<TextGeometry> g = layout_text(in);
  if (!g) return FALSE;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  if (g->background.total_vertices() > 0) agg::bounding_rect_single(g->background, 0, &x1, &y1, &x2, &y2);
  double width = 0;
  for (double advance : g->advances) width += advance;
  size->cx = static_cast<LONG>(width + 0.5);
  size->cy = static_cast<LONG>(y2 - y1 + 0.5);
  return TRUE;
}

}  // namespace

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
  if (!lplf) return nullptr;
  return no_throw<HFONT>(nullptr, [&] { return create_font(*lplf); });
}

BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                        const INT* lpDx) {
  return no_throw<BOOL>(FALSE, [&] { return text_out(hdc, x, y, options, lprect, lpString, c, lpDx); });
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  return no_throw<BOOL>(FALSE, [&] { return text_extent(hdc, lpString, c, psizl); });
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = lookup_dc(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF previous = dc->state().text_color;
  dc->state().text_color = color;
  return previous;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  DeviceContext* dc = lookup_dc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  const int previous = dc->state().bk_mode;
  dc->state().bk_mode = mode;
  return previous;
}
