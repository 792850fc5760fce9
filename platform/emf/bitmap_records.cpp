#include "emf/bitmap_records.h"

#include <algorithm>
#include <cmath>

#include "emf/record_fields.h"

namespace velmora::platform {
namespace {

// Offsets in the records count from the record's start; the handlers' body
// starts after the type and size fields.
constexpr std::uint32_t kRecordHeaderBytes = 8;
// Device coordinates are clamped to this: far past any surface, yet sums
// and differences of two of them stay inside an int.
constexpr double kDeviceLimit = 1 << 29;

// NaN (a degenerate transform times a far coordinate) cannot be clamped and
// has no int value: it is taken as 0.
int device_pixel(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::floor(std::clamp(v, -kDeviceLimit, kDeviceLimit) + 0.5));
}

bool keeps_axes(const agg::trans_affine& t) { return t.shx == 0.0 && t.shy == 0.0; }

void mirror_axis(int& origin, int& extent) {
  origin += extent + (extent > 0 ? -1 : 1);
  extent = -extent;
}

}  // namespace

std::optional<RecordDib> read_dib_offsets(ByteReader& body, DWORD usage) {
  auto off_bmi = body.read<std::uint32_t>();
  auto cb_bmi = body.read<std::uint32_t>();
  auto off_bits = body.read<std::uint32_t>();
  auto cb_bits = body.read<std::uint32_t>();
  if (!off_bmi || !cb_bmi || !off_bits || !cb_bits) return std::nullopt;
  return RecordDib{*off_bmi, *cb_bmi, *off_bits, *cb_bits, usage};
}

std::optional<SourceFields> read_source_fields(ByteReader& body) {
  SourceFields fields;
  auto xform = read_xform(body);
  auto bk_color = body.read<std::uint32_t>();
  auto usage = body.read<std::uint32_t>();
  if (!xform || !bk_color || !usage) return std::nullopt;
  auto dib = read_dib_offsets(body, *usage);
  if (!dib) return std::nullopt;
  fields.xform = *xform;
  fields.bk_color = *bk_color;
  fields.dib = *dib;
  return fields;
}

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER, which the larger headers begin with
constexpr int kMaxIndexedBits = 8;

// A copy of a DIB_PAL_COLORS header whose 16-bit palette indices have become
// the palette's colours (RGB quads); empty for headers this does not apply
// to (core headers, direct-colour depths), which keep the default palette.
std::optional<std::vector<std::uint8_t>> resolved_color_table(const ByteReader& bmi,
                                                              const std::vector<PALETTEENTRY>& palette) {
  const auto size = bmi.read_at<std::uint32_t>(0);
  const auto bit_count = bmi.read_at<std::uint16_t>(14);
  const auto used = bmi.read_at<std::uint32_t>(32);
  if (!size || *size < kInfoHeaderSize || *size > bmi.size() || !bit_count || !used) return std::nullopt;
  if (*bit_count == 0 || *bit_count > kMaxIndexedBits) return std::nullopt;
  const std::uint32_t full = 1u << *bit_count;
  const std::uint32_t entries = *used != 0 && *used < full ? *used : full;
  std::vector<std::uint8_t> out(bmi.data(), bmi.data() + *size);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const auto index = bmi.read_at<std::uint16_t>(*size + 2 * i);
    const PALETTEENTRY e = index && *index < palette.size() ? palette[*index] : PALETTEENTRY{0, 0, 0, 0};
    out.insert(out.end(), {e.peBlue, e.peGreen, e.peRed, 0});
  }
  return out;
}

}  // namespace

std::optional<Image32> decode_record_dib(const ByteReader& body, const RecordDib& dib, MonoMapping mono,
                                         const std::vector<PALETTEENTRY>* palette) {
  if (dib.off_bmi < kRecordHeaderBytes || dib.off_bits < kRecordHeaderBytes) return std::nullopt;
  if (dib.usage == DIB_PAL_COLORS && palette && !palette->empty()) {
    const auto bmi = body.sub(dib.off_bmi - kRecordHeaderBytes, dib.cb_bmi);
    const auto bits = body.sub(dib.off_bits - kRecordHeaderBytes, dib.cb_bits);
    if (!bmi || !bits) return std::nullopt;
    if (const auto resolved = resolved_color_table(*bmi, *palette))
      return decode_dib(ByteReader(*resolved), *bits, {ColorUsage::Rgb, mono});
  }
  const DibDecodeOptions options{dib.usage == DIB_PAL_COLORS ? ColorUsage::PaletteIndices : ColorUsage::Rgb, mono};
  return decode_dib_in_record(body, dib.off_bmi - kRecordHeaderBytes, dib.cb_bmi, dib.off_bits - kRecordHeaderBytes,
                              dib.cb_bits, options);
}

const std::vector<PALETTEENTRY>* selected_palette(const DeviceContext& dc) {
  const Palette* palette = lookup<Palette>(dc.state().palette);
  return palette && !palette->is_stock() ? &palette->entries() : nullptr;
}

std::optional<DibHeader> record_dib_header(const ByteReader& body, const RecordDib& dib) {
  if (dib.off_bmi < kRecordHeaderBytes) return std::nullopt;
  auto bmi = body.sub(dib.off_bmi - kRecordHeaderBytes, dib.cb_bmi);
  if (!bmi) return std::nullopt;
  return parse_dib_header(*bmi, dib.usage == DIB_PAL_COLORS ? ColorUsage::PaletteIndices : ColorUsage::Rgb);
}

Placement place_logical_rect(const DeviceContext& dc, int x, int y, int cx, int cy) {
  const agg::trans_affine t = dc.logical_to_device();
  double x0 = x, y0 = y;
  double x1 = static_cast<double>(x) + cx, y1 = static_cast<double>(y) + cy;
  if (keeps_axes(t)) {
    t.transform(&x0, &y0);
    t.transform(&x1, &y1);
    const int left = device_pixel(x0), top = device_pixel(y0);
    return AxisPlacement{left, top, device_pixel(x1) - left, device_pixel(y1) - top};
  }
  AffinePlacement p{x0, y0, x1, y0, x0, y1};
  t.transform(&p.top_left_x, &p.top_left_y);
  t.transform(&p.top_right_x, &p.top_right_y);
  t.transform(&p.bottom_left_x, &p.bottom_left_y);
  return p;
}

std::optional<MappedSource> map_source_rect(const Image32* image, const XFORM& xform, int x, int y, int cx, int cy) {
  const double x1 = static_cast<double>(x) + cx, y1 = static_cast<double>(y) + cy;
  const int left = device_pixel(x * xform.eM11 + y * xform.eM21 + xform.eDx);
  const int top = device_pixel(x * xform.eM12 + y * xform.eM22 + xform.eDy);
  int width = device_pixel(x1 * xform.eM11 + y1 * xform.eM21 + xform.eDx) - left;
  int height = device_pixel(x1 * xform.eM12 + y1 * xform.eM22 + xform.eDy) - top;
  if (width == 0 || height == 0) return std::nullopt;
  MappedSource mapped;
  mapped.mirror_x = width < 0;
  mapped.mirror_y = height < 0;
  width = std::abs(width);
  height = std::abs(height);
  mapped.source = {image, mapped.mirror_x ? left - width : left, mapped.mirror_y ? top - height : top, width, height};
  return mapped;
}

Placement mirrored(const Placement& placement, bool mirror_x, bool mirror_y) {
  if (auto axis = std::get_if<AxisPlacement>(&placement)) {
    AxisPlacement p = *axis;
    if (mirror_x) mirror_axis(p.x, p.width);
    if (mirror_y) mirror_axis(p.y, p.height);
    return p;
  }
  AffinePlacement p = std::get<AffinePlacement>(placement);
  if (mirror_x) {
    p.bottom_left_x += p.top_right_x - p.top_left_x;
    p.bottom_left_y += p.top_right_y - p.top_left_y;
    std::swap(p.top_left_x, p.top_right_x);
    std::swap(p.top_left_y, p.top_right_y);
  }
  if (mirror_y) {
    p.top_right_x += p.bottom_left_x - p.top_left_x;
    p.top_right_y += p.bottom_left_y - p.top_left_y;
    std::swap(p.top_left_x, p.bottom_left_x);
    std::swap(p.top_left_y, p.bottom_left_y);
  }
  return p;
}

}  // namespace velmora::platform
