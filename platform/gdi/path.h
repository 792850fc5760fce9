// The path a device context builds between BeginPath and EndPath. Points
// are kept in device coordinates, transformed when they are added, as GDI
// keeps them, so a later change of transform does not move them.
#pragma once

#include "common/limits.h"

#include <windows.h>

#include <agg_basics.h>
#include <agg_path_storage.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::platform {

class DevicePath {
 public:
  enum class State { None, Open, Closed };  // no path; inside BeginPath/EndPath; ended
  enum class Kind : std::uint8_t { MoveTo, LineTo, BezierTo };
  struct Vertex {
    double x;
    double y;
    Kind kind;
    bool closes_figure;  // PT_CLOSEFIGURE: the figure closes after this vertex
  };

  static constexpr auto kMaxVertices = limits::kMaxPathVertices;  // see common/limits.h

  State state() const { return state_; }
  bool is_open() const { return state_ == State::Open; }
  const std::vector<Vertex>& vertices() const { return vertices_; }

  void begin() {
    vertices_.clear();
    state_ = State::Open;
  }
  void end() {
    if (state_ == State::Open) state_ = State::Closed;
  }
  void abort() {
    vertices_.clear();
    state_ = State::None;
  }
  // Appends one vertex; false (and nothing added) past the limit.
  bool add(double x, double y, Kind kind);
  void close_figure();
  // Replaces the vertices (after flattening or widening), keeping the state.
  void replace(std::vector<Vertex> vertices) { vertices_ = std::move(vertices); }

  // The path as AGG vertices: Béziers as curve4 commands, closed figures
  // closed. Whether open figures close is up to the caller (fills close them).
  // Given the box that can show, Béziers much larger than it are culled
  // against it (gdi/visible_curves.h); lengths along them then change
  // outside the box.
  agg::path_storage to_agg(const agg::rect_d* visible = nullptr) const;

  // The path with its Béziers flattened into lines, keeping figure closes
  // (FlattenPath).
  std::vector<Vertex> flattened() const;
  // Each figure as a polygon of whole device points, for making a region
  // of the path (SelectClipPath, PathToRegion).
  std::vector<std::vector<POINT>> polygons() const;

 private:
  State state_ = State::None;
  std::vector<Vertex> vertices_;
};

}  // namespace velmora::platform
