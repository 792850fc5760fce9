#include "wmf/wmf_converter.h"

#include "wmf/conversion.h"
#include "wmf/wmf_records.h"

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

// Follows the mapping records up to the first drawing record; the window
// then in effect is the frame, if the mode scales and a window was set.
std::optional<FrameWindow> find_frame_window(const std::vector<WmfRecord>& records) {
  Conversion probe(std::nullopt);
  probe.mapping().set_mode(MM_ANISOTROPIC);
  for (const WmfRecord& record : records) {
    const ConverterEntry* entry = find_converter(record.function);
    if (entry && entry->draws) break;
    const bool maps = record.function == META_SETMAPMODE || record.function == META_SETWINDOWORG ||
                      record.function == META_SETWINDOWEXT || record.function == META_OFFSETWINDOWORG ||
                      record.function == META_SCALEWINDOWEXT;
    if (maps) entry->convert(record, probe);
  }
  const DeviceMapping& m = probe.mapping();
  const bool scales = m.mode() == MM_ANISOTROPIC || m.mode() == MM_ISOTROPIC;
  if (!scales || !m.window_ext_set()) return std::nullopt;
  return FrameWindow{m.window_org(), m.window_ext()};
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
