// The gdi32 entry points for device contexts, bitmaps and objects.
#include "common/no_throw.h"
#include "gdi/bitmap.h"
#include "gdi/dc.h"
#include "gdi/gdi_objects.h"

#include <cstring>

using namespace velmora::platform;

namespace {

// The depth and row order a BITMAPINFO asks for, when CreateDIBSection can make it.
struct DibLayout {
  int width;
  int height;
  int bits_per_pixel;
  bool bottom_up;
};

bool read_layout(const BITMAPINFO* info, DibLayout& layout) {
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return false;
  if (h.biHeight == 0 || h.biHeight == INT32_MIN) return false;
  layout = {h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount, h.biHeight > 0};
  return true;
}

template <class Logical>
int copy_out(const Logical& value, int size, LPVOID out) {
  if (!out) return static_cast<int>(sizeof(Logical));
  if (size < static_cast<int>(sizeof(Logical))) return 0;
  std::memcpy(out, &value, sizeof(Logical));
  return static_cast<int>(sizeof(Logical));
}

LOGPEN logpen_of(const PenTraits& traits) {
  return LOGPEN{traits.style, POINT{static_cast<LONG>(traits.width), 0}, traits.color};
}

LOGBRUSH logbrush_of(const BrushTraits& traits) { return LOGBRUSH{traits.style, traits.color, traits.hatch}; }

int describe_object(HANDLE h, int size, LPVOID out) {
  if (const Bitmap* bitmap = lookup<Bitmap>(h)) return copy_out(bitmap->describe(), size, out);
  if (const Pen* pen = lookup<Pen>(h)) return copy_out(logpen_of(pen->traits()), size, out);
  if (const Brush* brush = lookup<Brush>(h)) return copy_out(logbrush_of(brush->traits()), size, out);
  if (const Font* font = lookup<Font>(h)) return copy_out(font->logfont(), size, out);
  if (const Palette* palette = lookup<Palette>(h)) {
    return copy_out(static_cast<WORD>(palette->entries().size()), size, out);
  }
  return 0;
}

}  // namespace

HDC WINAPI CreateCompatibleDC(HDC /*hdc*/) {
  return no_throw<HDC>(nullptr, [] { return static_cast<HDC>(register_object(std::make_unique<DeviceContext>())); });
}

BOOL WINAPI DeleteDC(HDC hdc) {
  return no_throw<BOOL>(FALSE, [&] { return lookup_dc(hdc) && destroy_object(hdc) ? TRUE : FALSE; });
}

HBITMAP WINAPI CreateDIBSection(HDC /*hdc*/, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                                DWORD /*offset*/) {
  return no_throw<HBITMAP>(nullptr, [&]() -> HBITMAP {
    if (ppvBits) *ppvBits = nullptr;
    DibLayout layout;
    if (hSection || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) || !read_layout(pbmi, layout)) {
      return nullptr;
    }
    std::unique_ptr<Bitmap> bitmap =
        Bitmap::create(layout.width, layout.height, layout.bits_per_pixel, layout.bottom_up);
    if (!bitmap) return nullptr;
    void* bits = bitmap->bits();
    HBITMAP handle = static_cast<HBITMAP>(register_object(std::move(bitmap)));
    if (ppvBits) *ppvBits = bits;
    return handle;
  });
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  return no_throw<HGDIOBJ>(nullptr, [&]() -> HGDIOBJ {
    DeviceContext* dc = lookup_dc(reinterpret_cast<HDC>(hdc));
    if (!dc) return nullptr;
    if (Bitmap* bitmap = lookup<Bitmap>(h)) {
      // A bitmap can be selected into one context at a time.
      if (bitmap->selections() > 0 && dc->selected_bitmap() != h) return nullptr;
      return dc->select_bitmap(static_cast<HBITMAP>(h), *bitmap);
    }
    return dc->select_object(h);
  });
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  return no_throw<BOOL>(FALSE, [&]() -> BOOL {
    GdiObject* object = lookup_object(ho);
    if (!object || object->kind() == ObjectKind::MemoryDC || object->kind() == ObjectKind::EnhMetaFile) {
      return FALSE;
    }
    if (object->is_stock()) return TRUE;
    if (object->kind() == ObjectKind::Bitmap && static_cast<Bitmap*>(object)->selections() > 0) return FALSE;
    return destroy_object(ho) ? TRUE : FALSE;
  });
}

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
  return no_throw<int>(0, [&] { return describe_object(h, c, pv); });
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  return no_throw<DWORD>(0, [&]() -> DWORD {
    const GdiObject* object = lookup_object(h);
    return object ? static_cast<DWORD>(object->kind()) : 0;
  });
}

HGDIOBJ WINAPI GetStockObject(int i) {
  return no_throw<HGDIOBJ>(nullptr, [&] { return stock_object(i); });
}

BOOL WINAPI GdiFlush(void) { return TRUE; }
