#include "gdi/dc_clip.h"

namespace velmora::platform {
namespace {

// With no clip region the context may draw everywhere on its surface; that
// is the region a mode such as RGN_DIFF starts from (and what a later
// OffsetClipRgn then moves).
Region whole_surface(const DeviceContext& dc) {
  const Surface& surface = dc.surface();
  return Region::from_rect(RECT{0, 0, surface.width, surface.height});
}

Region current_clip(const DeviceContext& dc) {
  const DcState& state = dc.state();
  if (state.clip) return *state.clip;
  if (state.meta_region) return *state.meta_region;
  return whole_surface(dc);
}

void store_clip(DeviceContext& dc, Region clip) {
  DcState& state = dc.state();
  if (state.meta_region) clip = clip.intersected(*state.meta_region);
  state.clip = std::move(clip);
}

bool has_own_clip(const DcState& state) {
  if (!state.clip) return false;
  // The stored clip equal to the meta region is what a reset leaves.
  return !state.meta_region || !(*state.clip == *state.meta_region);
}

}  // namespace

bool combine_clip(DeviceContext& dc, const Region& region, int mode) {
  if (mode < RGN_AND || mode > RGN_COPY) return false;
  store_clip(dc, current_clip(dc).combined(region, mode));
  return true;
}

void reset_clip(DeviceContext& dc) {
  DcState& state = dc.state();
  state.clip = state.meta_region;
}

void intersect_clip_rect(DeviceContext& dc, const RECT& device_rect) {
  combine_clip(dc, Region::from_rect(device_rect), RGN_AND);
}

void exclude_clip_rect(DeviceContext& dc, const RECT& device_rect) {
  combine_clip(dc, Region::from_rect(device_rect), RGN_DIFF);
}

void offset_clip(DeviceContext& dc, int dx, int dy) {
  if (!has_own_clip(dc.state())) return;
  store_clip(dc, dc.state().clip->offset(dx, dy));
}

void set_meta_region(DeviceContext& dc) {
  DcState& state = dc.state();
  if (state.clip) state.meta_region = state.clip;
}

}  // namespace velmora::platform
