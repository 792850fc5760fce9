#include "gdi/gdi_objects.h"

#include <array>
#include <cwchar>
#include <mutex>

namespace velmora::platform {
namespace {

PenTraits solid_pen(UINT style, COLORREF color) {
  PenTraits pen;
  pen.style = style;
  pen.color = color;
  pen.brush.color = color;
  return pen;
}

BrushTraits solid_brush(COLORREF color) {
  BrushTraits brush;
  brush.color = color;
  return brush;
}

LOGFONTW stock_logfont(LONG height, LONG weight, BYTE pitch_and_family, const wchar_t* face) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = 0;  // ANSI_CHARSET
  lf.lfPitchAndFamily = pitch_and_family;
  std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

constexpr BYTE kFixedModern = 0x31;    // FIXED_PITCH | FF_MODERN
constexpr BYTE kVariableSwiss = 0x22;  // VARIABLE_PITCH | FF_SWISS

constexpr int kStockCount = DC_PEN + 1;

// The twenty static colours of the default palette, as red, green, blue.
std::vector<PALETTEENTRY> default_palette_entries() {
  static constexpr std::uint8_t kColors[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                                                  {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                                                  {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                                                  {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                                  {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  std::vector<PALETTEENTRY> entries;
  for (const auto& c : kColors) entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
  return entries;
}

std::unique_ptr<GdiObject> make_stock(int index) {
  switch (index) {
    case WHITE_BRUSH:
      return std::make_unique<Brush>(solid_brush(RGB(255, 255, 255)));
    case LTGRAY_BRUSH:
      return std::make_unique<Brush>(solid_brush(RGB(192, 192, 192)));
    case GRAY_BRUSH:
      return std::make_unique<Brush>(solid_brush(RGB(128, 128, 128)));
    case DKGRAY_BRUSH:
      return std::make_unique<Brush>(solid_brush(RGB(64, 64, 64)));
    case BLACK_BRUSH:
      return std::make_unique<Brush>(solid_brush(RGB(0, 0, 0)));
    case NULL_BRUSH:
      return std::make_unique<Brush>(BrushTraits{.style = BS_NULL, .color = 0});
    case DC_BRUSH:
      return std::make_unique<Brush>(solid_brush(RGB(255, 255, 255)));
    case WHITE_PEN:
      return std::make_unique<Pen>(solid_pen(PS_SOLID, RGB(255, 255, 255)));
    case BLACK_PEN:
      return std::make_unique<Pen>(solid_pen(PS_SOLID, RGB(0, 0, 0)));
    case DC_PEN:
      return std::make_unique<Pen>(solid_pen(PS_SOLID, RGB(0, 0, 0)));
    case NULL_PEN:
      return std::make_unique<Pen>(solid_pen(PS_NULL, RGB(0, 0, 0)));
    case OEM_FIXED_FONT:
      return std::make_unique<Font>(stock_logfont(12, FW_NORMAL, kFixedModern, L"Terminal"));
    case ANSI_FIXED_FONT:
      return std::make_unique<Font>(stock_logfont(12, FW_NORMAL, kFixedModern, L"Courier"));
    case ANSI_VAR_FONT:
      return std::make_unique<Font>(stock_logfont(12, FW_NORMAL, kVariableSwiss, L"MS Sans Serif"));
    case SYSTEM_FONT:
      return std::make_unique<Font>(stock_logfont(16, FW_BOLD, kVariableSwiss, L"System"));
    case DEVICE_DEFAULT_FONT:
      return std::make_unique<Font>(stock_logfont(16, FW_BOLD, kVariableSwiss, L"System"));
    case SYSTEM_FIXED_FONT:
      return std::make_unique<Font>(stock_logfont(16, FW_NORMAL, kFixedModern, L"Fixedsys"));
    case DEFAULT_GUI_FONT:
      return std::make_unique<Font>(stock_logfont(-11, FW_NORMAL, kVariableSwiss, L"MS Shell Dlg"));
    case DEFAULT_PALETTE:
      return std::make_unique<Palette>(default_palette_entries());
    default:
      return nullptr;
  }
}

}  // namespace

HGDIOBJ stock_object(int index) {
  static std::once_flag once;
  static std::array<HGDIOBJ, kStockCount> handles{};
  std::call_once(once, [] {
    for (int i = 0; i < kStockCount; ++i) {
      std::unique_ptr<GdiObject> object = make_stock(i);
      if (!object) continue;
      object->mark_stock();
      handles[i] = register_object(std::move(object));
    }
  });
  return index >= 0 && index < kStockCount ? handles[index] : nullptr;
}

HPEN create_pen(PenTraits traits) { return static_cast<HPEN>(register_object(std::make_unique<Pen>(std::move(traits)))); }

HPEN create_ext_pen(PenTraits traits) {
  return static_cast<HPEN>(register_object(std::make_unique<ExtPen>(std::move(traits))));
}

HBRUSH create_brush(BrushTraits traits) {
  return static_cast<HBRUSH>(register_object(std::make_unique<Brush>(std::move(traits))));
}

HFONT create_font(const LOGFONTW& logfont) {
  return static_cast<HFONT>(register_object(std::make_unique<Font>(logfont)));
}

HPALETTE create_palette(std::vector<PALETTEENTRY> entries) {
  return static_cast<HPALETTE>(register_object(std::make_unique<Palette>(std::move(entries))));
}

COLORREF resolve_color(COLORREF color, HGDIOBJ palette) {
  constexpr COLORREF kPaletteIndex = 0x01000000;
  if ((color & 0xFF000000) != kPaletteIndex) return color & 0x00FFFFFF;
  const Palette* p = lookup<Palette>(palette);
  const std::size_t index = color & 0xFFFF;
  if (!p || index >= p->entries().size()) return RGB(0, 0, 0);
  const PALETTEENTRY& e = p->entries()[index];
  return RGB(e.peRed, e.peGreen, e.peBlue);
}

const PenTraits* pen_traits(HGDIOBJ handle) {
  if (const Pen* pen = lookup<Pen>(handle)) return &pen->traits();
  if (const ExtPen* pen = lookup<ExtPen>(handle)) return &pen->traits();
  return nullptr;
}

}  // namespace velmora::platform
