// Aliased fills decided by each pixel's centre: pixel (x, y) is painted when
// the point (x + 0.5, y + 0.5) lies inside by the fill rule. A centre exactly
// on an edge is inside when the area lies to its right or below it, so
// shapes that share an edge tile the plane with neither gap nor overlap.
// (Area coverage thresholded at one half is not the same where several edges
// meet in one pixel: four cells meeting at a corner each cover a quarter of
// it, and none of them takes it.)
#pragma once

#include "region/region.h"

#include <agg_basics.h>

#include <vector>

namespace velmora::platform {

class CentreSampler {
 public:
  // Starts over with no edges.
  void clear();
  // Figures of line segments; an open figure is closed when the next starts
  // or the runs are asked for.
  void move_to(double x, double y);
  void line_to(double x, double y);
  void close_figure();

  // Adds every figure of an AGG vertex source (curves already flattened).
  template <class VertexSource>
  void add(VertexSource& source) {
    source.rewind(0);
    double x, y;
    for (unsigned cmd; !agg::is_stop(cmd = source.vertex(&x, &y));) {
      if (agg::is_move_to(cmd)) {
        move_to(x, y);
      } else if (agg::is_vertex(cmd)) {
        line_to(x, y);
      } else if (agg::is_end_poly(cmd)) {
        close_figure();
      }
    }
  }

  // Calls visit(y, x0, x1) for each run [x0, x1) of inside pixels of a
  // width x height surface, row by row from the top.
  template <class Visit>
  void for_each_run(int width, int height, FillRule rule, Visit&& visit) {
    close_figure();
    start_rows(height);
    for (int y; next_row(width, rule, y);) {
      for (const Run& r : runs_) visit(y, r.x0, r.x1);
    }
  }

 private:
  struct Edge {
    double x0, y0, x1, y1;  // y0 < y1
    int winding;            // +1 downwards in the figure, -1 upwards
    int first_row, end_row;  // rows whose centres it crosses, [first, end)
  };
  struct Crossing {
    double x;
    int winding;
  };
  struct Run {
    int x0, x1;
  };

  void add_edge(double x0, double y0, double x1, double y1);
  void start_rows(int height);
  // Finds the runs of the next row that any edge crosses; false after the last.
  bool next_row(int width, FillRule rule, int& y);

  std::vector<Edge> edges_;
  std::vector<const Edge*> active_;
  std::vector<Crossing> crossings_;
  std::vector<Run> runs_;
  double start_x_ = 0, start_y_ = 0, last_x_ = 0, last_y_ = 0;
  bool open_ = false;
  std::size_t next_edge_ = 0;
  int row_ = 0, end_row_ = 0;
};

// This thread's sampler, cleared: its buffers are kept from one fill to the next.
CentreSampler& centre_sampler();

}  // namespace velmora::platform
