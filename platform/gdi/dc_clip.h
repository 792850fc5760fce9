// The clipping state of a device context and the operations that change it.
// Everything here is in device pixels of the selected surface; callers turn
// logical or record coordinates into device ones first.
//
// DcState keeps the clip already intersected with the meta region (and
// during playback the caller's clip is the picture's meta region). Every
// operation combines with that stored clip and intersects with the meta
// region again, which gives the same pixels as combining the bare clip
// first: each combine mode distributes over the intersection.
#pragma once

#include "gdi/dc.h"
#include "region/region.h"

namespace velmora::platform {

// ExtSelectClipRgn: mode RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY.
// Returns false (nothing changed) for any other mode.
bool combine_clip(DeviceContext& dc, const Region& region, int mode);
// ExtSelectClipRgn with no region and RGN_COPY: back to the meta region.
void reset_clip(DeviceContext& dc);
void intersect_clip_rect(DeviceContext& dc, const RECT& device_rect);
void exclude_clip_rect(DeviceContext& dc, const RECT& device_rect);
// OffsetClipRgn: moves the clip region; a context without one keeps none.
void offset_clip(DeviceContext& dc, int dx, int dy);
// SetMetaRgn: the meta region becomes its intersection with the clip, and
// the clip region is dropped (the drawing area stays the same).
void set_meta_region(DeviceContext& dc);

}  // namespace velmora::platform
