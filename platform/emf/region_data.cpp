#include "emf/region_data.h"

#include "region/region_builder.h"

#include <algorithm>
#include <cmath>

namespace velmora::platform {
namespace {

constexpr std::uint32_t kRegionHeaderSize = 32;
constexpr std::uint32_t kRectangleSize = 16;

std::optional<RECT> read_rect(ByteReader& reader) {
  auto left = reader.read<std::int32_t>();
  auto top = reader.read<std::int32_t>();
  auto right = reader.read<std::int32_t>();
  auto bottom = reader.read<std::int32_t>();
  if (!left || !top || !right || !bottom) return std::nullopt;
  return RECT{*left, *top, *right, *bottom};
}

// A device coordinate rounded to the nearest pixel edge, kept in range.
int to_pixel(double value) {
  if (!std::isfinite(value)) return value < 0 ? -kMaxRegionCoordinate : kMaxRegionCoordinate;
  return clamp_region_coordinate(static_cast<long long>(std::floor(std::clamp(value, -4.0e9, 4.0e9) + 0.5)));
}

bool axis_aligned(const agg::trans_affine& m) { return m.shx == 0.0 && m.shy == 0.0; }

RECT scaled_rect(const RECT& r, const agg::trans_affine& m) {
  double x0 = r.left, y0 = r.top, x1 = r.right, y1 = r.bottom;
  m.transform(&x0, &y0);
  m.transform(&x1, &y1);
  return RECT{to_pixel(std::min(x0, x1)), to_pixel(std::min(y0, y1)), to_pixel(std::max(x0, x1)),
              to_pixel(std::max(y0, y1))};
}

std::vector<DevicePoint> parallelogram(const RECT& r, const agg::trans_affine& m) {
  std::vector<DevicePoint> corners = {{double(r.left), double(r.top)},
                                      {double(r.right), double(r.top)},
                                      {double(r.right), double(r.bottom)},
                                      {double(r.left), double(r.bottom)}};
  for (DevicePoint& p : corners) m.transform(&p.x, &p.y);
  return corners;
}

}  // namespace

std::optional<std::vector<RECT>> read_region_data(ByteReader& reader, std::uint32_t size) {
  std::optional<ByteReader> data = reader.sub(reader.position(), size);
  if (!data || size < kRegionHeaderSize || !reader.skip(size)) return std::nullopt;
  auto header_size = data->read<std::uint32_t>();
  auto type = data->read<std::uint32_t>();
  auto count = data->read<std::uint32_t>();
  // iType, nRgnSize and rcBound are not trusted: writers fill them loosely.
  if (!header_size || !type || !count || *header_size != kRegionHeaderSize) return std::nullopt;
  if (*count > kMaxRegionDataRects || *count > (size - kRegionHeaderSize) / kRectangleSize) return std::nullopt;
  data->skip(kRegionHeaderSize - 12);
  std::vector<RECT> rects;
  rects.reserve(*count);
  for (std::uint32_t i = 0; i < *count; ++i) {
    auto rect = read_rect(*data);
    if (!rect) return std::nullopt;
    rects.push_back(*rect);
  }
  return rects;
}

Region region_to_device(const std::vector<RECT>& rects, const agg::trans_affine& record_to_device) {
  if (axis_aligned(record_to_device)) {
    std::vector<RECT> device;
    device.reserve(rects.size());
    for (const RECT& r : rects) device.push_back(scaled_rect(r, record_to_device));
    return Region::from_rects(device);
  }
  std::vector<std::vector<DevicePoint>> polygons;
  polygons.reserve(rects.size());
  for (const RECT& r : rects) {
    if (r.right > r.left && r.bottom > r.top) polygons.push_back(parallelogram(r, record_to_device));
  }
  return Region::from_device_polygons(polygons, FillRule::NonZero);
}

}  // namespace velmora::platform
