#include "raster/centre_sampler.h"

#include <algorithm>
#include <cmath>

namespace velmora::platform {
namespace {

// The first whole number of pixels at or after v, within [lo, hi]; NaN gives lo.
int ceil_within(double v, int lo, int hi) {
  if (!(v > lo)) return lo;
  if (v >= hi) return hi;
  return static_cast<int>(std::ceil(v));
}

}  // namespace

void CentreSampler::clear() {
  edges_.clear();
  open_ = false;
}

void CentreSampler::move_to(double x, double y) {
  close_figure();
  start_x_ = last_x_ = x;
  start_y_ = last_y_ = y;
  open_ = true;
}

void CentreSampler::line_to(double x, double y) {
  if (!open_) {
    move_to(x, y);
    return;
  }
  add_edge(last_x_, last_y_, x, y);
  last_x_ = x;
  last_y_ = y;
}

void CentreSampler::close_figure() {
  if (!open_) return;
  add_edge(last_x_, last_y_, start_x_, start_y_);
  last_x_ = start_x_;
  last_y_ = start_y_;
}

void CentreSampler::add_edge(double x0, double y0, double x1, double y1) {
  if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1)) || y0 == y1) return;
  const int winding = y0 < y1 ? 1 : -1;
  if (y1 < y0) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  // Row r's centre is r + 0.5: the edge crosses it when y0 <= r + 0.5 < y1.
  edges_.push_back(Edge{x0, y0, x1, y1, winding, 0, 0});
}

void CentreSampler::start_rows(int height) {
  row_ = height;
  end_row_ = 0;
  for (Edge& e : edges_) {
    e.first_row = ceil_within(e.y0 - 0.5, 0, height);
    e.end_row = ceil_within(e.y1 - 0.5, 0, height);
    if (e.first_row < e.end_row) {
      row_ = std::min(row_, e.first_row);
      end_row_ = std::max(end_row_, e.end_row);
    }
  }
  std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.first_row < b.first_row; });
  next_edge_ = 0;
  active_.clear();
}

bool CentreSampler::next_row(int width, FillRule rule, int& y) {
  for (; row_ < end_row_; ++row_) {
    while (next_edge_ < edges_.size() && edges_[next_edge_].first_row <= row_) {
      const Edge& e = edges_[next_edge_++];
      if (e.first_row < e.end_row) active_.push_back(&e);
    }
    std::erase_if(active_, [&](const Edge* e) { return e->end_row <= row_; });
    if (active_.empty()) continue;

    const double centre = row_ + 0.5;
    crossings_.clear();
    for (const Edge* e : active_) {
      crossings_.push_back({e->x0 + (centre - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->winding});
    }
    std::sort(crossings_.begin(), crossings_.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });

    // Pixel x is inside a run [from, to) when from <= x + 0.5 < to.
    runs_.clear();
    int winding = 0;
    double from = 0;
    for (const Crossing& c : crossings_) {
      const bool was_inside = rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
      winding += c.winding;
      const bool inside = rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
      if (!was_inside && inside) {
        from = c.x;
      } else if (was_inside && !inside) {
        const int x0 = ceil_within(from - 0.5, 0, width), x1 = ceil_within(c.x - 0.5, 0, width);
        if (x0 < x1) runs_.push_back({x0, x1});
      }
    }
    if (runs_.empty()) continue;
    y = row_++;
    return true;
  }
  return false;
}

CentreSampler& centre_sampler() {
  thread_local CentreSampler sampler;
  sampler.clear();
  return sampler;
}

}  // namespace velmora::platform
