#include "wmf/conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora::platform::wmf {
namespace {

// An empty picture still needs a frame: a square one keeps the aspect ratio 1.
constexpr LONG kEmptyFrameSide = 378;  // device pixels, 10 cm on the reference device

// Between 0.01 mm and device pixels along one axis.
LONG to_pixels(LONG himetric, double pixels_per_mm) { return device_coordinate(himetric * pixels_per_mm / 100.0); }
LONG to_himetric(LONG pixels, double pixels_per_mm) {
  return device_coordinate(std::trunc(pixels * 100.0 / pixels_per_mm));
}

}  // namespace

Conversion::Conversion(PictureExtent extent) : extent_(extent) {}

// The state the WMF starts in: MM_ANISOTROPIC, with a window and viewport
// that both span the picture's extent (or the whole device surface), so
// that a window the WMF sets is stretched over that area, and drawing in
// unscaled units lands one unit to one pixel.
void Conversion::begin() {
  const SIZE area = extent_ ? SIZE{std::max(to_pixels(extent_->cx, kPixelsPerMillimeterX), LONG{1}),
                                   std::max(to_pixels(extent_->cy, kPixelsPerMillimeterY), LONG{1})}
                            : SIZE{kReferencePixels.cx, kReferencePixels.cy};
  emit(std::move(EmfRecord(EMR_SETMAPMODE).u32(MM_ANISOTROPIC)));
  emit(std::move(EmfRecord(EMR_SETWINDOWEXTEX).i32(area.cx).i32(area.cy)));
  emit(std::move(EmfRecord(EMR_SETVIEWPORTEXTEX).i32(area.cx).i32(area.cy)));
  state_.mapping.set_mode(MM_ANISOTROPIC);
  state_.mapping.set_window_ext(area.cx, area.cy);
  state_.mapping.set_viewport_ext(area.cx, area.cy);
}

void Conversion::save() {
  if (saved_.size() < kMaxTrackedSaves) {
    saved_.push_back(state_);
  } else {
    ++untracked_saves_;
  }
}

std::optional<int> Conversion::restore(int saved) {
  const std::size_t depth = saved_.size() + untracked_saves_;
  std::size_t levels = 0;
  if (saved < 0) levels = static_cast<std::size_t>(-saved);
  if (saved > 0 && static_cast<std::size_t>(saved) <= depth) levels = depth - static_cast<std::size_t>(saved) + 1;
  if (levels == 0 || levels > depth) return std::nullopt;
  const std::size_t untracked = std::min(levels, untracked_saves_);
  untracked_saves_ -= untracked;
  if (const std::size_t tracked = levels - untracked; tracked > 0) {
    state_ = saved_[saved_.size() - tracked];
    saved_.resize(saved_.size() - tracked);
  }
  return -static_cast<int>(levels);
}

void Conversion::include(double x, double y) {
  const DevicePoint p = state_.mapping.to_device(x, y);
  include_device(p.x, p.y);
}

void Conversion::include_device(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (!has_ink_) {
    ink_[0] = ink_[2] = x;
    ink_[1] = ink_[3] = y;
    has_ink_ = true;
    return;
  }
  ink_[0] = std::min(ink_[0], x);
  ink_[1] = std::min(ink_[1], y);
  ink_[2] = std::max(ink_[2], x);
  ink_[3] = std::max(ink_[3], y);
}

void Conversion::include_rect(double left, double top, double right, double bottom) {
  include(left, top);
  include(right, bottom);
  include(left, bottom);
  include(right, top);
}

void Conversion::include_shape_box(double left, double top, double right, double bottom) {
  include(std::min(left, right), std::min(top, bottom));
  include(std::max(left, right) - 1, std::max(top, bottom) - 1);
}

// The bounds of what is drawn, at least one device unit each way; an empty
// square when nothing is.
RECTL Conversion::ink_frame() const {
  if (!has_ink_) return {0, 0, kEmptyFrameSide, kEmptyFrameSide};
  RECTL frame{device_coordinate(ink_[0]), device_coordinate(ink_[1]), device_coordinate(ink_[2]),
              device_coordinate(ink_[3])};
  frame.right = std::max(frame.right, frame.left + 1);
  frame.bottom = std::max(frame.bottom, frame.top + 1);
  return frame;
}

// The frame: the caller's extent at the origin, else the drawn bounds.
EmfPictureSize Conversion::picture_size() const {
  const RECTL ink = ink_frame();
  const RECTL bounds = ink;
  const RECTL frame = extent_ ? RECTL{0, 0, extent_->cx, extent_->cy}
                              : RECTL{to_himetric(ink.left, kPixelsPerMillimeterX),
                                      to_himetric(ink.top, kPixelsPerMillimeterY),
                                      to_himetric(ink.right, kPixelsPerMillimeterX),
                                      to_himetric(ink.bottom, kPixelsPerMillimeterY)};
  return {bounds, frame, kReferencePixels, kReferenceMillimeters};
}

std::vector<std::uint8_t> Conversion::finish() const { return out_.finish(picture_size()); }

}  // namespace velmora::platform::wmf
