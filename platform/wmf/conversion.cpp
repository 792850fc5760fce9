#include "wmf/conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora::platform::wmf {
namespace {

// An empty picture still needs a frame: a square one keeps the aspect ratio 1.
constexpr LONG kEmptyFrameSide = 10000;  // device units, 10 cm on the reference device

}  // namespace

Conversion::Conversion(std::optional<FrameWindow> frame) : frame_(frame) {}

void Conversion::begin() {
  // A WMF that never sets a mapping mode is meant for a player in
  // MM_ANISOTROPIC, where its window records count.
  emit(std::move(EmfRecord(EMR_SETMAPMODE).u32(MM_ANISOTROPIC)));
  state_.mapping.set_mode(MM_ANISOTROPIC);
  if (frame_) emit_frame_viewport();
}

void Conversion::emit_frame_viewport() {
  const int width = std::abs(frame_->ext.cx);
  const int height = std::abs(frame_->ext.cy);
  emit(std::move(EmfRecord(EMR_SETVIEWPORTORGEX).i32(0).i32(0)));
  emit(std::move(EmfRecord(EMR_SETVIEWPORTEXTEX).i32(width).i32(height)));
  state_.mapping.set_viewport_org(0, 0);
  state_.mapping.set_viewport_ext(width, height);
}

void Conversion::after_map_mode() {
  const int mode = state_.mapping.mode();
  if (frame_ && !wmf_viewport_ && (mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC)) emit_frame_viewport();
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
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
  if (!has_ink_) {
    ink_[0] = ink_[2] = p.x;
    ink_[1] = ink_[3] = p.y;
    has_ink_ = true;
    return;
  }
  ink_[0] = std::min(ink_[0], p.x);
  ink_[1] = std::min(ink_[1], p.y);
  ink_[2] = std::max(ink_[2], p.x);
  ink_[3] = std::max(ink_[3], p.y);
}

void Conversion::include_rect(double left, double top, double right, double bottom) {
  include(left, top);
  include(right, bottom);
  include(left, bottom);
  include(right, top);
}

void Conversion::include_turned(double origin_x, double origin_y, double dx, double dy, int tenths) {
  constexpr double kRadiansPerTenth = 3.14159265358979323846 / 1800.0;
  const double c = std::cos(tenths * kRadiansPerTenth);
  const double s = std::sin(tenths * kRadiansPerTenth);
  // Counter-clockwise on a y-down page.
  include(origin_x + dx * c + dy * s, origin_y - dx * s + dy * c);
}

// The frame: the frame window's device rectangle; else the bounds of what
// is drawn; else an empty square.
EmfPictureSize Conversion::picture_size() const {
  RECTL frame{0, 0, kEmptyFrameSide, kEmptyFrameSide};
  if (frame_) {
    frame = frame_->device.value_or(RECTL{0, 0, std::abs(frame_->ext.cx), std::abs(frame_->ext.cy)});
  } else if (has_ink_) {
    frame = {device_coordinate(std::floor(ink_[0])), device_coordinate(std::floor(ink_[1])),
             device_coordinate(std::ceil(ink_[2])), device_coordinate(std::ceil(ink_[3]))};
    frame.right = std::max(frame.right, frame.left + 1);
    frame.bottom = std::max(frame.bottom, frame.top + 1);
  }
  const RECTL bounds{frame.left, frame.top, frame.right - 1, frame.bottom - 1};
  return {bounds, frame, kReferencePixels, kReferenceMillimeters};
}

std::vector<std::uint8_t> Conversion::finish() const { return out_.finish(picture_size()); }

}  // namespace velmora::platform::wmf
