#include "gdi/path.h"

namespace velmora::platform {

bool DevicePath::add(double x, double y, Kind kind) {
  if (vertices_.size() >= kMaxVertices) return false;
  vertices_.push_back(Vertex{x, y, kind, false});
  return true;
}

void DevicePath::close_figure() {
  if (!vertices_.empty()) vertices_.back().closes_figure = true;
}

agg::path_storage DevicePath::to_agg() const {
  agg::path_storage out;
  const std::size_t n = vertices_.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Vertex& v = vertices_[i];
    if (v.kind == Kind::MoveTo || i == 0) {
      out.move_to(v.x, v.y);
    } else if (v.kind == Kind::BezierTo && i + 2 < n && vertices_[i + 1].kind == Kind::BezierTo &&
               vertices_[i + 2].kind == Kind::BezierTo) {
      out.curve4(v.x, v.y, vertices_[i + 1].x, vertices_[i + 1].y, vertices_[i + 2].x, vertices_[i + 2].y);
      i += 2;
    } else {
      out.line_to(vertices_[i].x, vertices_[i].y);
    }
    if (vertices_[i].closes_figure) out.close_polygon();
  }
  return out;
}

}  // namespace velmora::platform
