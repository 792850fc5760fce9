#include "wmf/wmf_converter.h"

#include "wmf/conversion.h"
#include "wmf/wmf_records.h"

#include <algorithm>
#include <unordered_map>

namespace velmora::platform::wmf {
namespace {

using ConverterTable = std::unordered_map<std::uint16_t, ConverterEntry>;

const ConverterTable& converters() {
  static const ConverterTable table = [] {
    ConverterTable t;
    for (auto family : {state_converters(), object_converters(), palette_converters(), shape_converters(), text_converters(),
                        clip_converters(), region_converters(), bitmap_converters()}) {
      for (const ConverterEntry& entry : family) t.emplace(entry.function, entry);
    }
    return t;
  }();
  return table;
}

const ConverterEntry* find_converter(std::uint16_t function) {
  const auto it = converters().find(function);
  return it == converters().end() ? nullptr : &it->second;
}

bool sets_mapping(std::uint16_t function) {
  switch (function) {
    case META_SETMAPMODE:
    case META_SETWINDOWORG:
    case META_SETWINDOWEXT:
    case META_OFFSETWINDOWORG:
    case META_SCALEWINDOWEXT:
    case META_SETVIEWPORTORG:
    case META_SETVIEWPORTEXT:
    case META_OFFSETVIEWPORTORG:
    case META_SCALEVIEWPORTEXT:
      return true;
    default:
      return false;
  }
}

// The device rectangle a window lands on.
RECTL device_rect(const DeviceMapping& m) {
  const POINT o = m.window_org();
  const SIZE e = m.window_ext();
  const DevicePoint a = m.to_device(o.x, o.y);
  const DevicePoint b = m.to_device(static_cast<double>(o.x) + e.cx, static_cast<double>(o.y) + e.cy);
  return {device_coordinate(std::min(a.x, b.x)), device_coordinate(std::min(a.y, b.y)),
          device_coordinate(std::max(a.x, b.x)), device_coordinate(std::max(a.y, b.y))};
}

// Follows the mapping records up to the first drawing record; the window
// then in effect is the frame, if the mode scales and a window was set.
std::optional<FrameWindow> find_frame_window(const std::vector<WmfRecord>& records) {
  Conversion probe(std::nullopt);
  probe.mapping().set_mode(MM_ANISOTROPIC);
  for (const WmfRecord& record : records) {
    const ConverterEntry* entry = find_converter(record.function);
    if (entry && entry->draws) break;
    if (sets_mapping(record.function)) entry->convert(record, probe);
  }
  const DeviceMapping& m = probe.mapping();
  const bool scales = m.mode() == MM_ANISOTROPIC || m.mode() == MM_ISOTROPIC;
  if (!scales || !m.window_ext_set()) return std::nullopt;
  FrameWindow frame{m.window_org(), m.window_ext(), std::nullopt};
  const RECTL device = device_rect(m);
  if (probe.wmf_viewport() && device.right > device.left && device.bottom > device.top) frame.device = device;
  return frame;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> convert_wmf_to_emf(const WmfFile& wmf) {
  Conversion conversion(find_frame_window(wmf.records));
  conversion.begin();
  for (const WmfRecord& record : wmf.records) {
    if (const ConverterEntry* entry = find_converter(record.function)) entry->convert(record, conversion);
  }
  std::vector<std::uint8_t> emf = conversion.finish();
  if (emf.empty()) return std::nullopt;
  return emf;
}

}  // namespace velmora::platform::wmf
