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

}  // namespace

std::optional<std::vector<std::uint8_t>> convert_wmf_to_emf(const WmfFile& wmf, PictureExtent extent) {
  Conversion conversion(extent);
  conversion.begin();
  for (const WmfRecord& record : wmf.records) {
    if (const ConverterEntry* entry = find_converter(record.function)) entry->convert(record, conversion);
  }
  std::vector<std::uint8_t> emf = conversion.finish();
  if (emf.empty()) return std::nullopt;
  return emf;
}

}  // namespace velmora::platform::wmf
