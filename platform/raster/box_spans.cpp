#include "raster/box_spans.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora::platform {
namespace {

// Far beyond any surface, yet every coordinate and sum of two stays an int.
constexpr double kMaxBoxCoordinate = 1 << 29;

struct Box {
  int left, top, right, bottom;
  int turn;  // +1 or -1; 0 for a box without area
};

bool whole(double v) { return std::fabs(v) <= kMaxBoxCoordinate && v == std::floor(v); }

// The box of four corners, or nothing when they are not one.
std::optional<Box> box_of(const std::array<agg::point_d, 4>& p) {
  for (const agg::point_d& c : p) {
    if (!whole(c.x) || !whole(c.y)) return std::nullopt;
  }
  const bool horizontal_first = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
  const bool vertical_first = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
  if (!horizontal_first && !vertical_first) return std::nullopt;
  // The z of (p1 - p0) x (p2 - p1): one of its two products is zero.
  const double turn = (p[1].x - p[0].x) * (p[2].y - p[1].y) - (p[1].y - p[0].y) * (p[2].x - p[1].x);
  return Box{static_cast<int>(std::min(p[0].x, p[2].x)), static_cast<int>(std::min(p[0].y, p[2].y)),
             static_cast<int>(std::max(p[0].x, p[2].x)), static_cast<int>(std::max(p[0].y, p[2].y)),
             turn > 0 ? 1 : turn < 0 ? -1 : 0};
}

// Each figure must be a move, three lines and a close.
std::optional<std::vector<Box>> boxes_of(agg::path_storage& path) {
  std::vector<Box> boxes;
  const unsigned count = path.total_vertices();
  if (count % 5 != 0) return std::nullopt;
  boxes.reserve(count / 5);
  for (unsigned i = 0; i < count; i += 5) {
    std::array<agg::point_d, 4> corners;
    for (unsigned k = 0; k < 4; ++k) {
      const unsigned cmd = path.vertex(i + k, &corners[k].x, &corners[k].y);
      if (k == 0 ? !agg::is_move_to(cmd) : !agg::is_line_to(cmd)) return std::nullopt;
    }
    double x, y;
    if (!agg::is_end_poly(path.vertex(i + 4, &x, &y))) return std::nullopt;
    const std::optional<Box> box = box_of(corners);
    if (!box) return std::nullopt;
    if (box->turn != 0) boxes.push_back(*box);
  }
  return boxes;
}

}  // namespace

std::vector<DeviceSpan> union_of_spans(std::vector<DeviceSpan> spans) {
  std::sort(spans.begin(), spans.end(),
            [](const DeviceSpan& a, const DeviceSpan& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
  std::vector<DeviceSpan> out;
  out.reserve(spans.size());
  for (const DeviceSpan& s : spans) {
    if (!out.empty() && out.back().y == s.y && s.x0 <= out.back().x1) {
      out.back().x1 = std::max(out.back().x1, s.x1);
    } else {
      out.push_back(s);
    }
  }
  return out;
}

std::optional<std::vector<DeviceSpan>> same_turn_box_spans(agg::path_storage& path, int height) {
  const std::optional<std::vector<Box>> boxes = boxes_of(path);
  if (!boxes) return std::nullopt;
  std::vector<DeviceSpan> spans;
  for (const Box& b : *boxes) {
    if (b.turn != boxes->front().turn) return std::nullopt;
    for (int y = std::max(b.top, 0); y < std::min(b.bottom, height); ++y) spans.push_back({y, b.left, b.right});
  }
  return spans;
}

}  // namespace velmora::platform
