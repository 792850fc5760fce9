#include "raster/clipped_dash.h"

#include "common/limits.h"

#include <agg_curves.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace velmora::platform {
namespace {

// The part [t0, t1] of segment a + t (b - a), t in [0, 1], inside the box;
// false when none is.
bool clip_to_box(const agg::point_d& a, const agg::point_d& b, const agg::rect_d& box, double& t0, double& t1) {
  t0 = 0.0;
  t1 = 1.0;
  const double from[2] = {a.x, a.y};
  const double delta[2] = {b.x - a.x, b.y - a.y};
  const double lo[2] = {box.x1, box.y1};
  const double hi[2] = {box.x2, box.y2};
  for (int axis = 0; axis < 2; ++axis) {
    if (delta[axis] == 0.0) {
      if (from[axis] < lo[axis] || from[axis] > hi[axis]) return false;
      continue;
    }
    double enter = (lo[axis] - from[axis]) / delta[axis];
    double leave = (hi[axis] - from[axis]) / delta[axis];
    if (enter > leave) std::swap(enter, leave);
    t0 = std::max(t0, enter);
    t1 = std::min(t1, leave);
  }
  return t0 <= t1;
}

class Dasher {
 public:
  Dasher(const std::vector<double>& runs, agg::path_storage& out)
      : runs_(runs), period_(std::accumulate(runs.begin(), runs.end(), 0.0)), out_(out) {}

  bool overflowed() const { return dashes_ > limits::kMaxDashesPerStroke; }

  void start_figure() {
    index_ = 0;
    left_ = runs_[0];
    drawing_ = false;
  }

  // The segment a to b, along which the pattern moves on by advance: its
  // length, or for a straight edge that length cut to whole pixels, as the
  // platform measures edges. The pattern is laid evenly along the segment.
  void segment(const agg::point_d& a, const agg::point_d& b, const agg::rect_d& box, double advance) {
    if (a.x == b.x && a.y == b.y) return;
    double t0, t1;
    if (!clip_to_box(a, b, box, t0, t1)) {
      skip(advance);
      return;
    }
    if (!(advance > 0.0)) {
      if (index_ % 2 == 0) dash(a, b);
      return;
    }
    skip(advance * t0);
    const agg::point_d step{(b.x - a.x) / advance, (b.y - a.y) / advance};
    const agg::point_d from{a.x + step.x * advance * t0, a.y + step.y * advance * t0};
    const double inside = advance * (t1 - t0);
    for (double done = 0.0; done < inside && !overflowed();) {
      const double run = std::min(left_, inside - done);
      if (index_ % 2 == 0) {
        dash({from.x + step.x * done, from.y + step.y * done},
             {from.x + step.x * (done + run), from.y + step.y * (done + run)});
      }
      done += run;
      left_ -= run;
      if (left_ <= 0.0) next_run();
    }
    if (t1 < 1.0) skip(advance * (1.0 - t1));
  }

 private:
  // Draws from a to b within the current dash, which goes on from its last point.
  void dash(const agg::point_d& a, const agg::point_d& b) {
    if (!drawing_) {
      out_.move_to(a.x, a.y);
      drawing_ = true;
      ++dashes_;
    }
    out_.line_to(b.x, b.y);
  }

  void next_run() {
    index_ = (index_ + 1) % runs_.size();
    left_ = runs_[index_];
    drawing_ = false;
  }

  // Moves the pattern on without drawing: whole periods at once.
  void skip(double length) {
    if (!(length > 0.0)) return;
    drawing_ = false;
    length = std::fmod(length, period_);
    while (length > 0.0) {
      const double run = std::min(left_, length);
      length -= run;
      left_ -= run;
      if (left_ <= 0.0) next_run();
    }
  }

  const std::vector<double>& runs_;
  double period_;
  agg::path_storage& out_;
  std::size_t index_ = 0;
  double left_ = 0.0;
  bool drawing_ = false;
  std::size_t dashes_ = 0;
};

}  // namespace

std::optional<agg::path_storage> clipped_dashes(agg::path_storage& outline, const std::vector<double>& runs,
                                                const agg::rect_d& box) {
  agg::path_storage out;
  Dasher dasher(runs, out);
  agg::point_d first{0, 0};
  agg::point_d last{0, 0};
  bool open = false;
  const auto straight_to = [&](const agg::point_d& to) {
    dasher.segment(last, to, box, std::floor(std::hypot(to.x - last.x, to.y - last.y)));
    last = to;
  };
  const auto curve_to = [&](auto& curve) {
    double x, y;
    curve.rewind(0);
    curve.vertex(&x, &y);  // the curve's start, where the outline already is
    for (unsigned cmd; !agg::is_stop(cmd = curve.vertex(&x, &y)) && !dasher.overflowed();) {
      dasher.segment(last, {x, y}, box, std::hypot(x - last.x, y - last.y));
      last = {x, y};
    }
  };
  outline.rewind(0);
  double x, y;
  for (unsigned cmd; !agg::is_stop(cmd = outline.vertex(&x, &y)) && !dasher.overflowed();) {
    if (agg::is_move_to(cmd)) {
      dasher.start_figure();
      first = last = {x, y};
      open = true;
    } else if (cmd == agg::path_cmd_curve3) {
      double x2 = x, y2 = y;
      outline.vertex(&x2, &y2);
      agg::curve3 curve(last.x, last.y, x, y, x2, y2);
      if (open) curve_to(curve);
    } else if (cmd == agg::path_cmd_curve4) {
      double x2 = x, y2 = y, x3 = x, y3 = y;
      outline.vertex(&x2, &y2);
      outline.vertex(&x3, &y3);
      agg::curve4 curve(last.x, last.y, x, y, x2, y2, x3, y3);
      if (open) curve_to(curve);
    } else if (agg::is_vertex(cmd) && open) {
      straight_to({x, y});
    } else if (agg::is_end_poly(cmd) && agg::is_closed(cmd) && open) {
      straight_to(first);
    }
  }
  if (dasher.overflowed()) return std::nullopt;
  return out;
}

}  // namespace velmora::platform
