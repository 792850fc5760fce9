#include "gdi/dc.h"

#include "gdi/bitmap.h"

#include <cmath>
#include <cstdlib>

namespace velmora::platform {
namespace {

void select_pen(DcState& state, HGDIOBJ handle, const PenTraits& traits) {
  state.pen = handle;
  state.pen_traits = traits;
}

// Logical units per millimetre of the fixed mapping modes, times 1000.
int milli_units_per_mm(int map_mode) {
  switch (map_mode) {
    case MM_LOMETRIC:
      return 10'000;
    case MM_HIMETRIC:
      return 100'000;
    case MM_LOENGLISH:
      return 3'937;  // 100 per inch
    case MM_HIENGLISH:
      return 39'370;  // 1000 per inch
    case MM_TWIPS:
      return 56'693;  // 1440 per inch
    default:
      return 0;
  }
}

LONG scaled(LONG millimeters, int milli_units) {
  return static_cast<LONG>(std::lround(static_cast<double>(millimeters) * milli_units / 1000.0));
}

}  // namespace

DeviceContext::DeviceContext() : GdiObject(kKind) {
  select_object(stock_object(BLACK_PEN));
  select_object(stock_object(WHITE_BRUSH));
  select_object(stock_object(SYSTEM_FONT));
  select_object(stock_object(DEFAULT_PALETTE));
  if (Bitmap* bitmap = lookup<Bitmap>(default_bitmap())) select_bitmap(default_bitmap(), *bitmap);
}

DeviceContext::~DeviceContext() {
  if (Bitmap* bitmap = lookup<Bitmap>(bitmap_)) bitmap->remove_selection();
}

HBITMAP DeviceContext::select_bitmap(HBITMAP handle, Bitmap& bitmap) {
  HBITMAP previous = bitmap_;
  if (Bitmap* old = lookup<Bitmap>(previous)) old->remove_selection();
  bitmap.add_selection();
  bitmap_ = handle;
  surface_ = bitmap.surface();
  return previous;
}

HGDIOBJ DeviceContext::select_object(HGDIOBJ handle) {
  HGDIOBJ previous = nullptr;
  if (const Pen* pen = lookup<Pen>(handle)) {
    previous = state_.pen;
    select_pen(state_, handle, pen->traits());
  } else if (const ExtPen* ext_pen = lookup<ExtPen>(handle)) {
    previous = state_.pen;
    select_pen(state_, handle, ext_pen->traits());
  } else if (const Brush* brush = lookup<Brush>(handle)) {
    previous = state_.brush;
    state_.brush = handle;
    state_.brush_traits = brush->traits();
  } else if (const Font* font = lookup<Font>(handle)) {
    previous = state_.font;
    state_.font = handle;
    state_.font_traits = font->logfont();
  } else if (lookup<Palette>(handle)) {
    previous = state_.palette;
    state_.palette = handle;
  }
  return previous;
}

agg::trans_affine DeviceContext::page_transform() const {
  const DcState& s = state_;
  if (s.window_ext.cx == 0 || s.window_ext.cy == 0) return agg::trans_affine();
  const double sx = static_cast<double>(s.viewport_ext.cx) / s.window_ext.cx;
  const double sy = static_cast<double>(s.viewport_ext.cy) / s.window_ext.cy;
  return agg::trans_affine(sx, 0.0, 0.0, sy, s.viewport_org.x - s.window_org.x * sx,
                           s.viewport_org.y - s.window_org.y * sy);
}

agg::trans_affine DeviceContext::logical_to_device() const { return state_.world * page_transform() * state_.base; }

void DeviceContext::set_map_mode(int mode) {
  DcState& s = state_;
  s.map_mode = mode;
  const ReferenceDevice& ref = s.reference;
  switch (mode) {
    case MM_TEXT:
      s.window_ext = {1, 1};
      s.viewport_ext = {1, 1};
      break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
      // The extents stay as they were; isotropic mode starts from the metric
      // extents as GDI's does, and then adjusts them.
      if (mode == MM_ISOTROPIC) {
        s.window_ext = {scaled(ref.millimeters.cx, 10'000), scaled(ref.millimeters.cy, 10'000)};
        s.viewport_ext = {ref.pixels.cx, -ref.pixels.cy};
      }
      break;
    default: {
      const int units = milli_units_per_mm(mode);
      if (units == 0) return;
      s.window_ext = {scaled(ref.millimeters.cx, units), scaled(ref.millimeters.cy, units)};
      s.viewport_ext = {ref.pixels.cx, -ref.pixels.cy};
      break;
    }
  }
}

void DeviceContext::fit_isotropic() {
  DcState& s = state_;
  if (s.map_mode != MM_ISOTROPIC || s.window_ext.cx == 0 || s.window_ext.cy == 0) return;
  const ReferenceDevice& ref = s.reference;
  if (ref.pixels.cx <= 0 || ref.pixels.cy <= 0) return;
  // The size of one logical unit in millimetres along each axis.
  const double x_unit =
      std::abs(static_cast<double>(s.viewport_ext.cx) * ref.millimeters.cx / ref.pixels.cx / s.window_ext.cx);
  const double y_unit =
      std::abs(static_cast<double>(s.viewport_ext.cy) * ref.millimeters.cy / ref.pixels.cy / s.window_ext.cy);
  if (x_unit == 0.0 || y_unit == 0.0) return;
  if (x_unit > y_unit) {
    s.viewport_ext.cx = static_cast<LONG>(std::lround(s.viewport_ext.cx * (y_unit / x_unit)));
  } else if (y_unit > x_unit) {
    s.viewport_ext.cy = static_cast<LONG>(std::lround(s.viewport_ext.cy * (x_unit / y_unit)));
  }
}

int DeviceContext::save() {
  if (saved_.size() >= kMaxSaveDepth) return 0;
  saved_.push_back(Saved{state_, path_});
  return save_depth();
}

bool DeviceContext::restore(int level) {
  const int depth = save_depth();
  const int target = level > 0 ? level : depth + level + 1;  // which SaveDC to go back to, 1-based
  if (level == 0 || target < 1 || target > depth) return false;
  Saved& saved = saved_[static_cast<std::size_t>(target - 1)];
  state_ = std::move(saved.state);
  path_ = std::move(saved.path);
  saved_.resize(static_cast<std::size_t>(target - 1));
  return true;
}

}  // namespace velmora::platform
