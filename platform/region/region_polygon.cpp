// Polygon regions by point sampling, as GDI makes them: pixel (x, y) belongs
// to the region when the point (x, y) lies inside by the fill rule, a point
// on a left or top edge counting as inside and one on a right or bottom edge
// as outside (so a rectangle's polygon gives exactly the rectangle). Each
// sampled row becomes a one-pixel band; RegionBuilder merges equal rows.
//
// An area-coverage rasterizer cannot stand in here: at a polygon's corners
// the covered area and the sampled point disagree by up to half a pixel.
#include "common/limits.h"
#include "region/region.h"

#include "region/region_builder.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora::platform {

namespace {

// Rows and columns outside +/- 2^18 pixels are left out: far beyond any
// surface, and it bounds the rows one polygon can make us sample.
constexpr double kPolygonExtent = 1 << 18;

constexpr auto kMaxCrossings = limits::kMaxPolygonCrossings;

struct Edge {
  double x_top;
  double y_top;
  double y_bottom;
  double dx_dy;
  int winding;  // +1 downward, -1 upward
};

struct Crossing {
  double x;
  int winding;
};

template <class Point>
void add_edges(const std::vector<Point>& polygon, std::vector<Edge>& edges) {
  if (polygon.size() < 3) return;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point& a = polygon[i];
    const Point& b = polygon[(i + 1) % polygon.size()];
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y;
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by) || ay == by) continue;
    const bool down = ay < by;
    const double x_top = down ? ax : bx;
    const double y_top = down ? ay : by;
    const double y_bottom = down ? by : ay;
    edges.push_back(Edge{x_top, y_top, y_bottom, (down ? bx - ax : ax - bx) / (y_bottom - y_top), down ? 1 : -1});
  }
}

// The first and one past the last sampled row an edge crosses (top rows in, bottom rows out).
double first_row(const Edge& e) { return std::max(std::ceil(e.y_top), -kPolygonExtent); }
double end_row(const Edge& e) { return std::min(std::ceil(e.y_bottom), kPolygonExtent); }

double total_crossings(const std::vector<Edge>& edges) {
  double total = 0;
  for (const Edge& e : edges) total += std::max(0.0, end_row(e) - first_row(e));
  return total;
}

int to_column(double x) { return static_cast<int>(std::clamp(std::ceil(x), -kPolygonExtent, kPolygonExtent)); }

bool inside(int winding, FillRule rule) { return rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0; }

// The spans of row y from its crossings: sample x is inside for xa <= x < xb.
void row_spans(std::vector<Crossing>& crossings, FillRule rule, std::vector<Span>& spans) {
  std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
  spans.clear();
  int winding = 0;
  for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
    winding += crossings[i].winding;
    if (!inside(winding, rule)) continue;
    const int left = to_column(crossings[i].x);
    const int right = to_column(crossings[i + 1].x);
    if (left < right) spans.push_back(Span{left, right});
  }
}

std::vector<RECT> bounding_box(const std::vector<Edge>& edges) {
  double left = kPolygonExtent, right = -kPolygonExtent, top = kPolygonExtent, bottom = -kPolygonExtent;
  for (const Edge& e : edges) {
    const double x_bottom = e.x_top + e.dx_dy * (e.y_bottom - e.y_top);
    left = std::min({left, e.x_top, x_bottom});
    right = std::max({right, e.x_top, x_bottom});
    top = std::min(top, e.y_top);
    bottom = std::max(bottom, e.y_bottom);
  }
  RegionBuilder builder;
  const Span span{to_column(left), to_column(right)};
  builder.add_band(to_column(top), to_column(bottom), std::span<const Span>(&span, 1));
  return builder.finish();
}

std::vector<RECT> scan(std::vector<Edge> edges, FillRule rule) {
  if (total_crossings(edges) > kMaxCrossings) return bounding_box(edges);
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y_top < b.y_top; });
  RegionBuilder builder;
  std::vector<const Edge*> active;
  std::vector<Crossing> crossings;
  std::vector<Span> spans;
  std::size_t next = 0;
  double y = edges.empty() ? 0 : first_row(edges.front());
  while (next < edges.size() || !active.empty()) {
    if (active.empty()) y = std::max(y, first_row(edges[next]));
    if (y >= kPolygonExtent) break;
    while (next < edges.size() && first_row(edges[next]) <= y) active.push_back(&edges[next++]);
    std::erase_if(active, [y](const Edge* e) { return end_row(*e) <= y; });
    crossings.clear();
    for (const Edge* e : active) crossings.push_back(Crossing{e->x_top + e->dx_dy * (y - e->y_top), e->winding});
    row_spans(crossings, rule, spans);
    builder.add_band(static_cast<int>(y), static_cast<int>(y) + 1, spans);
    y += 1;
  }
  return builder.finish();
}

}  // namespace

Region Region::from_polygons(const std::vector<std::vector<POINT>>& polygons, FillRule rule) {
  std::vector<Edge> edges;
  for (const std::vector<POINT>& polygon : polygons) add_edges(polygon, edges);
  return Region(scan(std::move(edges), rule));
}

Region Region::from_device_polygons(const std::vector<std::vector<DevicePoint>>& polygons, FillRule rule) {
  std::vector<Edge> edges;
  for (const std::vector<DevicePoint>& polygon : polygons) add_edges(polygon, edges);
  return Region(scan(std::move(edges), rule));
}

}  // namespace velmora::platform
