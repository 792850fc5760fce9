#include "raster/clipped_dash.h"

#include "common/limits.h"


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

  void segment(const agg::point_d& a, const agg::point_d& b, const agg::rect_d& box) {
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    double t0, t1;
    if (!(length > 0.0) || !clip_to_box(a, b, box, t0, t1)) {
      skip(length);
      return;
    }
    skip(length * t0);
    const agg::point_d from{a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0};
    const agg::point_d step{(b.x - a.x) / length, (b.y - a.y) / length};
    const double inside = length * (t1 - t0);
    for (double done = 0.0; done < inside && !overflowed();) {
      const double run = std::min(left_, inside - done);
      if (index_ % 2 == 0) {
        if (!drawing_) {
          out_.move_to(from.x + step.x * done, from.y + step.y * done);
          drawing_ = true;
          ++dashes_;
        }
        out_.line_to(from.x + step.x * (done + run), from.y + step.y * (done + run));
      }
      done += run;
      left_ -= run;
      if (left_ <= 0.0) next_run();
    }
    if (t1 < 1.0) skip(length * (1.0 - t1));
  }

 private:
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

std::optional<agg::path_storage> clipped_dashes(agg::path_storage& flattened, const std::vector<double>& runs,
                                                const agg::rect_d& box) {
  agg::path_storage out;
  Dasher dasher(runs, out);
  agg::point_d first{0, 0};
  agg::point_d last{0, 0};
  bool open = false;
  flattened.rewind(0);
  double x, y;
  for (unsigned cmd; !agg::is_stop(cmd = flattened.vertex(&x, &y)) && !dasher.overflowed();) {
    if (agg::is_move_to(cmd)) {
      dasher.start_figure();
      first = last = {x, y};
      open = true;
    } else if (agg::is_vertex(cmd) && open) {
      dasher.segment(last, {x, y}, box);
      last = {x, y};
    } else if (agg::is_end_poly(cmd) && agg::is_closed(cmd) && open) {
      dasher.segment(last, first, box);
      last = first;
    }
  }
  if (dasher.overflowed()) return std::nullopt;
  return out;
}

}  // namespace velmora::platform
