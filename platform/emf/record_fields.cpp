#include "emf/record_fields.h"

namespace velmora::platform {

std::optional<POINT> read_pointl(ByteReader& r) {
  auto x = r.read<std::int32_t>();
  auto y = r.read<std::int32_t>();
  if (!x || !y) return std::nullopt;
  return POINT{*x, *y};
}

std::optional<POINT> read_points(ByteReader& r) {
  auto x = r.read<std::int16_t>();
  auto y = r.read<std::int16_t>();
  if (!x || !y) return std::nullopt;
  return POINT{*x, *y};
}

std::optional<SIZE> read_sizel(ByteReader& r) {
  auto p = read_pointl(r);
  if (!p) return std::nullopt;
  return SIZE{p->x, p->y};
}

std::optional<RECT> read_rectl(ByteReader& r) {
  auto top_left = read_pointl(r);
  auto bottom_right = read_pointl(r);
  if (!top_left || !bottom_right) return std::nullopt;
  return RECT{top_left->x, top_left->y, bottom_right->x, bottom_right->y};
}

std::optional<XFORM> read_xform(ByteReader& r) {
  float v[6];
  for (float& f : v) {
    auto value = r.read<float>();
    if (!value) return std::nullopt;
    f = *value;
  }
  return XFORM{v[0], v[1], v[2], v[3], v[4], v[5]};
}

std::optional<std::vector<POINT>> read_point_array(ByteReader& r, std::uint32_t count, bool sixteen_bit) {
  const std::size_t point_size = sixteen_bit ? 4 : 8;
  if (count > kMaxRecordPoints || !r.fits(r.position(), count * point_size)) return std::nullopt;
  std::vector<POINT> points;
  points.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    points.push_back(*(sixteen_bit ? read_points(r) : read_pointl(r)));  // fits checked above
  }
  return points;
}

std::optional<std::vector<DWORD>> read_dword_array(ByteReader& r, std::uint32_t count) {
  if (count > kMaxRecordPoints || !r.fits(r.position(), std::size_t{count} * 4)) return std::nullopt;
  std::vector<DWORD> values;
  values.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) values.push_back(*r.read<std::uint32_t>());
  return values;
}

}  // namespace velmora::platform
