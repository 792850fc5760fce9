// State records: mapping mode, window and viewport, world transform, the
// simple modes and colours, SaveDC / RestoreDC and the current position.
#include "emf/record_fields.h"
#include "emf/record_handlers.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace velmora::platform {
namespace {

std::optional<std::uint32_t> read_u32(ByteReader& r) { return r.read<std::uint32_t>(); }

bool extents_settable(const DcState& s) { return s.map_mode == MM_ISOTROPIC || s.map_mode == MM_ANISOTROPIC; }

// Records that set one DWORD field of the state.
template <auto Field>
void set_field(Playback& p, ByteReader body) {
  using Value = std::remove_reference_t<decltype(p.dc().state().*Field)>;
  if (auto v = read_u32(body)) p.dc().state().*Field = static_cast<Value>(*v);
}

void on_set_map_mode(Playback& p, ByteReader body) {
  auto mode = read_u32(body);
  if (mode && *mode >= MM_TEXT && *mode <= MM_ANISOTROPIC) p.dc().set_map_mode(static_cast<int>(*mode));
}

void on_window_ext(Playback& p, ByteReader body) {
  auto ext = read_sizel(body);
  DcState& s = p.dc().state();
  if (!ext || ext->cx == 0 || ext->cy == 0 || !extents_settable(s)) return;
  s.window_ext = *ext;
  p.dc().fit_isotropic();
}

void on_viewport_ext(Playback& p, ByteReader body) {
  auto ext = read_sizel(body);
  DcState& s = p.dc().state();
  if (!ext || ext->cx == 0 || ext->cy == 0 || !extents_settable(s)) return;
  s.viewport_ext = *ext;
  p.dc().fit_isotropic();
}

void on_window_org(Playback& p, ByteReader body) {
  if (auto org = read_pointl(body)) p.dc().state().window_org = *org;
}

void on_viewport_org(Playback& p, ByteReader body) {
  if (auto org = read_pointl(body)) p.dc().state().viewport_org = *org;
}

// SCALEVIEWPORTEXTEX / SCALEWINDOWEXTEX: xNum, xDenom, yNum, yDenom.
bool scale_extent(ByteReader body, SIZE& ext) {
  std::int32_t v[4];
  for (std::int32_t& f : v) {
    auto value = body.read<std::int32_t>();
    if (!value) return false;
    f = *value;
  }
  if (v[1] == 0 || v[3] == 0) return false;
  const long long cx = static_cast<long long>(ext.cx) * v[0] / v[1];
  const long long cy = static_cast<long long>(ext.cy) * v[2] / v[3];
  if (cx == 0 || cy == 0 || std::llabs(cx) > INT32_MAX || std::llabs(cy) > INT32_MAX) return false;
  ext = SIZE{static_cast<LONG>(cx), static_cast<LONG>(cy)};
  return true;
}

void on_scale_viewport(Playback& p, ByteReader body) {
  DcState& s = p.dc().state();
  if (extents_settable(s) && scale_extent(body, s.viewport_ext)) p.dc().fit_isotropic();
}

void on_scale_window(Playback& p, ByteReader body) {
  DcState& s = p.dc().state();
  if (extents_settable(s) && scale_extent(body, s.window_ext)) p.dc().fit_isotropic();
}

std::optional<agg::trans_affine> read_transform(ByteReader& body) {
  auto x = read_xform(body);
  if (!x) return std::nullopt;
  agg::trans_affine m(x->eM11, x->eM12, x->eM21, x->eM22, x->eDx, x->eDy);
  const double values[6] = {m.sx, m.shy, m.shx, m.sy, m.tx, m.ty};
  for (double v : values) {
    if (!std::isfinite(v)) return std::nullopt;
  }
  return m;
}

void on_set_world_transform(Playback& p, ByteReader body) {
  if (auto m = read_transform(body)) p.dc().state().world = *m;
}

void on_modify_world_transform(Playback& p, ByteReader body) {
  auto m = read_transform(body);
  auto mode = read_u32(body);
  if (!m || !mode) return;
  agg::trans_affine& world = p.dc().state().world;
  switch (*mode) {
    case MWT_IDENTITY:
      world.reset();
      break;
    case MWT_LEFTMULTIPLY:
      world = *m * world;
      break;  // the new transform applies first
    case MWT_RIGHTMULTIPLY:
      world = world * *m;
      break;
    case MWT_SET:
      world = *m;
      break;
    default:
      break;
  }
}

void on_save_dc(Playback& p, ByteReader) { p.dc().save(); }

void on_restore_dc(Playback& p, ByteReader body) {
  auto level = body.read<std::int32_t>();
  if (!level || *level == 0) return;
  const int depth = p.dc().save_depth();
  const int base = p.base_save_depth();
  // The picture's own saves sit above the player's: never restore below them.
  const long long target = *level < 0 ? static_cast<long long>(depth) + *level + 1  // relative
                                      : static_cast<long long>(base) + *level;      // absolute
  if (target <= base || target > depth) return;
  p.dc().restore(static_cast<int>(target));
}

void on_move_to(Playback& p, ByteReader body) {
  if (auto pt = read_pointl(body)) p.dc().state().current_position = *pt;
}

void on_brush_org(Playback& p, ByteReader body) {
  auto org = read_pointl(body);
  if (!org) return;
  double x = org->x, y = org->y;
  p.dc().record_to_device().transform(&x, &y);
  p.dc().state().brush_origin = POINT{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
}

// EMR_SETMITERLIMIT: writers store either a FLOAT or a whole number here.
void on_miter_limit(Playback& p, ByteReader body) {
  auto bits = read_u32(body);
  if (!bits) return;
  float value;
  std::memcpy(&value, &*bits, 4);
  const double limit = *bits < 0x10000 ? static_cast<double>(*bits) : value;
  if (std::isfinite(limit) && limit >= 1.0) p.dc().state().miter_limit = static_cast<float>(limit);
}

void on_text_justification(Playback& p, ByteReader body) {
  auto extra = body.read<std::int32_t>();
  auto count = body.read<std::int32_t>();
  if (!extra || !count) return;
  p.dc().state().break_extra = *extra;
  p.dc().state().break_count = *count;
}

}  // namespace

void register_state_handlers(HandlerTable& table) {
  table.add(EMR_SETMAPMODE, on_set_map_mode);
  table.add(EMR_SETWINDOWEXTEX, on_window_ext);
  table.add(EMR_SETWINDOWORGEX, on_window_org);
  table.add(EMR_SETVIEWPORTEXTEX, on_viewport_ext);
  table.add(EMR_SETVIEWPORTORGEX, on_viewport_org);
  table.add(EMR_SCALEVIEWPORTEXTEX, on_scale_viewport);
  table.add(EMR_SCALEWINDOWEXTEX, on_scale_window);
  table.add(EMR_SETWORLDTRANSFORM, on_set_world_transform);
  table.add(EMR_MODIFYWORLDTRANSFORM, on_modify_world_transform);
  table.add(EMR_SAVEDC, on_save_dc);
  table.add(EMR_RESTOREDC, on_restore_dc);
  table.add(EMR_MOVETOEX, on_move_to);
  table.add(EMR_SETBRUSHORGEX, on_brush_org);
  table.add(EMR_SETMITERLIMIT, on_miter_limit);
  table.add(EMR_SETTEXTJUSTIFICATION, on_text_justification);
  table.add(EMR_SETBKMODE, set_field<&DcState::bk_mode>);
  table.add(EMR_SETBKCOLOR, set_field<&DcState::bk_color>);
  table.add(EMR_SETTEXTCOLOR, set_field<&DcState::text_color>);
  table.add(EMR_SETTEXTALIGN, set_field<&DcState::text_align>);
  table.add(EMR_SETPOLYFILLMODE, set_field<&DcState::fill_mode>);
  table.add(EMR_SETROP2, set_field<&DcState::rop2>);
  table.add(EMR_SETSTRETCHBLTMODE, set_field<&DcState::stretch_mode>);
  table.add(EMR_SETARCDIRECTION, set_field<&DcState::arc_direction>);
  table.add(EMR_SETMAPPERFLAGS, set_field<&DcState::mapper_flags>);
  table.add(EMR_SETLAYOUT, set_field<&DcState::layout>);
}

}  // namespace velmora::platform
