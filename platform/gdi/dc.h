// A memory device context: the drawing state (what SaveDC saves), the
// selected bitmap whose pixels it draws on, and the path under construction.
//
// Coordinates: records and drawing calls give logical coordinates; the
// context maps them to device pixels of the selected bitmap with
// logical_to_device() = world transform, then the page (window to viewport)
// mapping, then the base transform (identity, or during metafile playback the
// mapping of the picture's reference device onto the playback rectangle).
#pragma once

#include "common/limits.h"
#include "gdi/gdi_objects.h"
#include "gdi/object.h"
#include "gdi/path.h"
#include "raster/surface.h"
#include "region/region.h"

#include <agg_trans_affine.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace velmora::platform {

// The device a mapping mode measures against: its size in pixels and in
// millimetres (MM_LOMETRIC and the like convert millimetres to pixels). A
// memory context measures as a 96 dpi screen of 1024 x 768 pixels.
struct ReferenceDevice {
  SIZE pixels{1024, 768};
  SIZE millimeters{271, 203};
};

// Everything SaveDC saves and RestoreDC brings back.
struct DcState {
  int map_mode = MM_TEXT;
  POINT window_org{0, 0};
  SIZE window_ext{1, 1};
  POINT viewport_org{0, 0};
  SIZE viewport_ext{1, 1};
  agg::trans_affine world;  // logical to page space; identity unless GM_ADVANCED
  agg::trans_affine base;   // device space of the records to device pixels of the surface
  ReferenceDevice reference;
  int graphics_mode = GM_COMPATIBLE;

  int bk_mode = OPAQUE;
  COLORREF bk_color = RGB(255, 255, 255);
  COLORREF text_color = RGB(0, 0, 0);
  UINT text_align = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int text_char_extra = 0;
  int break_extra = 0;  // SetTextJustification: extra space, logical units
  int break_count = 0;  // ... spread over this many break characters
  int rop2 = R2_COPYPEN;
  int fill_mode = ALTERNATE;
  int stretch_mode = BLACKONWHITE;
  int arc_direction = AD_COUNTERCLOCKWISE;
  float miter_limit = 10.0f;
  DWORD layout = 0;
  DWORD mapper_flags = 0;

  POINT current_position{0, 0};  // logical
  POINT brush_origin{0, 0};      // device pixels

  // Selected objects: the handle (what SelectObject gives back) and a copy
  // of the description that drawing uses.
  HGDIOBJ pen = nullptr;
  PenTraits pen_traits;
  HGDIOBJ brush = nullptr;
  BrushTraits brush_traits;
  HGDIOBJ font = nullptr;
  LOGFONTW font_traits{};
  HGDIOBJ palette = nullptr;

  // The region drawing is limited to, in device pixels, already intersected
  // with the meta region; none = the whole surface. The meta region is kept
  // apart so that a new clip can be intersected with it again.
  std::optional<Region> clip;
  std::optional<Region> meta_region;
};

class Bitmap;

class DeviceContext : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::MemoryDC;
  static constexpr auto kMaxSaveDepth = limits::kMaxSaveDepth;  // see common/limits.h

  DeviceContext();
  ~DeviceContext() override;

  DcState& state() { return state_; }
  const DcState& state() const { return state_; }

  // The pixels drawing goes to; empty when the selected bitmap is not a
  // 32-bit DIB section (drawing then does nothing).
  const Surface& surface() const { return surface_; }
  HBITMAP selected_bitmap() const { return bitmap_; }
  // Selects a bitmap (already looked up) and returns the previous one.
  HBITMAP select_bitmap(HBITMAP handle, Bitmap& bitmap);

  // Selects a pen, brush, font or palette; returns the previous handle of
  // that kind, or null when the handle is none of them.
  HGDIOBJ select_object(HGDIOBJ handle);

  agg::trans_affine page_transform() const;     // window to viewport
  agg::trans_affine logical_to_device() const;  // world, page, base
  agg::trans_affine record_to_device() const { return state_.base; }

  // Mapping mode changes also reset extents as SetMapMode does.
  void set_map_mode(int mode);
  // Recomputes the viewport extent of MM_ISOTROPIC after an extent change.
  void fit_isotropic();

  DevicePath& path() { return path_; }
  const DevicePath& path() const { return path_; }

  // SaveDC: the new depth, or 0 on failure. RestoreDC: a negative level is
  // relative to the current depth, a positive one absolute.
  int save();
  bool restore(int level);
  int save_depth() const { return static_cast<int>(saved_.size()); }

 private:
  struct Saved {
    DcState state;
    DevicePath path;
  };

  DcState state_;
  DevicePath path_;
  std::vector<Saved> saved_;
  HBITMAP bitmap_ = nullptr;
  Surface surface_;
};

// The context behind a handle, or null.
inline DeviceContext* lookup_dc(HDC hdc) { return lookup<DeviceContext>(hdc); }

}  // namespace velmora::platform
