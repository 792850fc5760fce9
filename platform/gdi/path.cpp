#include "gdi/path.h"

#include "common/limits.h"
#include "gdi/visible_curves.h"

#include <agg_conv_curve.h>

#include <cmath>

namespace velmora::platform {
namespace {

constexpr auto kCoordinateLimit = limits::kMaxPathCoordinate;

double bounded(double v) {
  if (!(v > -kCoordinateLimit)) return -kCoordinateLimit;  // also NaN
  return v < kCoordinateLimit ? v : kCoordinateLimit;
}

}  // namespace

bool DevicePath::add(double x, double y, Kind kind) {
  if (vertices_.size() >= kMaxVertices) return false;
  vertices_.push_back(Vertex{bounded(x), bounded(y), kind, false});
  return true;
}

void DevicePath::close_figure() {
  if (!vertices_.empty()) vertices_.back().closes_figure = true;
}

agg::path_storage DevicePath::to_agg(const agg::rect_d* visible) const {
  agg::path_storage out;
  const std::size_t n = vertices_.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Vertex& v = vertices_[i];
    if (v.kind == Kind::MoveTo || i == 0) {
      out.move_to(v.x, v.y);
    } else if (v.kind == Kind::BezierTo && i + 2 < n && vertices_[i + 1].kind == Kind::BezierTo &&
               vertices_[i + 2].kind == Kind::BezierTo) {
      const Vertex& from = vertices_[i - 1];
      const Vertex& to = vertices_[i + 2];
      if (visible) {
        append_visible_curve(out, {{{from.x, from.y}, {v.x, v.y}, {vertices_[i + 1].x, vertices_[i + 1].y}, {to.x, to.y}}},
                             *visible);
      } else {
        out.curve4(v.x, v.y, vertices_[i + 1].x, vertices_[i + 1].y, to.x, to.y);
      }
      i += 2;
    } else {
      out.line_to(vertices_[i].x, vertices_[i].y);
    }
    if (vertices_[i].closes_figure) out.close_polygon();
  }
  return out;
}

std::vector<DevicePath::Vertex> DevicePath::flattened() const {
  agg::path_storage path = to_agg();
  agg::conv_curve<agg::path_storage> curves(path);
  std::vector<Vertex> out;
  double x, y;
  curves.rewind(0);
  for (unsigned cmd; !agg::is_stop(cmd = curves.vertex(&x, &y));) {
    if (agg::is_vertex(cmd)) {
      if (out.size() >= kMaxVertices) break;
      out.push_back(Vertex{x, y, agg::is_move_to(cmd) ? Kind::MoveTo : Kind::LineTo, false});
    } else if (agg::is_end_poly(cmd) && agg::is_closed(cmd) && !out.empty()) {
      out.back().closes_figure = true;
    }
  }
  return out;
}

std::vector<std::vector<POINT>> DevicePath::polygons() const {
  std::vector<std::vector<POINT>> out;
  for (const Vertex& v : flattened()) {
    if (v.kind == Kind::MoveTo || out.empty()) out.emplace_back();
    out.back().push_back(POINT{static_cast<LONG>(std::lround(v.x)), static_cast<LONG>(std::lround(v.y))});
  }
  return out;
}

}  // namespace velmora::platform
