#include "render/info.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <vector>

#include "render/byte_reader.h"
#include "render/output_size.h"
#include "render/record_names.h"

namespace velmora::render {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::size_t kPlaceableHeaderBytes = 22;
constexpr std::uint32_t kEmfPlusSignature = 0x2B464D45;  // "EMF+", the first word of an EMF+ comment

// Record names and how often each occurs.
struct RecordCounts {
  std::map<std::string, std::uint64_t> counts;
  std::uint64_t total = 0;
  bool emf_plus = false;
  void add(const std::string& name) {
    ++counts[name];
    ++total;
  }
};

Json rect(const RECTL& r) { return Json::array({r.left, r.top, r.right, r.bottom}); }
Json size(const SIZEL& s) { return Json::array({s.cx, s.cy}); }

// The EMF records as the platform holds them (for a WMF, its conversion).
RecordCounts emf_records(HENHMETAFILE picture) {
  RecordCounts records;
  const UINT size = GetEnhMetaFileBits(picture, 0, nullptr);
  std::vector<std::uint8_t> bytes(size);
  if (size == 0 || GetEnhMetaFileBits(picture, size, bytes.data()) != size) return records;
  const ByteReader in(bytes);
  for (std::size_t at = 0;;) {
    const auto type = in.u32(at);
    const auto length = in.u32(at + 4);
    if (!type || !length || *length < 8 || *length % 4 || *length > bytes.size() - at) break;
    if (*type == EMR_GDICOMMENT && in.u32(at + 12) == kEmfPlusSignature) records.emf_plus = true;
    records.add(emf_record_name(*type));
    at += *length;
    if (*type == EMR_EOF) break;
  }
  return records;
}

// The WMF records of the file: a size in 16-bit words, then the function.
RecordCounts wmf_records(std::span<const std::uint8_t> wmf) {
  RecordCounts records;
  const ByteReader in(wmf);
  std::size_t at = std::size_t{in.u16(2).value_or(9)} * 2;
  for (;;) {
    const auto words = in.u32(at);
    const auto function = in.u16(at + 4);
    if (!words || !function || *words < 3 || *words > (wmf.size() - at) / 2) break;
    records.add(wmf_record_name(*function));
    at += std::size_t{*words} * 2;
    if (*function == 0) break;  // META_EOF
  }
  return records;
}

Json counts_json(const RecordCounts& records) {
  std::vector<std::pair<std::string, std::uint64_t>> sorted(records.counts.begin(), records.counts.end());
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  Json out = Json::object();
  for (const auto& [name, count] : sorted) out[name] = count;
  return out;
}

Json wmf_header(const ByteReader& in, std::size_t at) {
  return Json{{"type", *in.u16(at)},
              {"header_words", *in.u16(at + 2)},
              {"version", *in.u16(at + 4)},
              {"size_words", in.u16(at + 6).value_or(0) | std::uint32_t{in.u16(at + 8).value_or(0)} << 16},
              {"objects", in.u16(at + 10).value_or(0)},
              {"largest_record_words", in.u16(at + 12).value_or(0) | std::uint32_t{in.u16(at + 14).value_or(0)} << 16}};
}

Json placeable_header(const ByteReader& in) {
  const auto side = [&](std::size_t at) { return static_cast<std::int16_t>(*in.u16(at)); };
  return Json{{"bounding_box", Json::array({side(6), side(8), side(10), side(12)})}, {"units_per_inch", *in.u16(14)}};
}

Json emf_header(const ENHMETAHEADER& h) {
  return Json{{"bounds", rect(h.rclBounds)},     {"frame", rect(h.rclFrame)},
              {"device", size(h.szlDevice)},     {"millimeters", size(h.szlMillimeters)},
              {"version", h.nVersion},           {"bytes", h.nBytes},
              {"records", h.nRecords},           {"handles", h.nHandles},
              {"palette_entries", h.nPalEntries}};
}

Json info_json(const std::string& name, std::span<const std::uint8_t> bytes, const Picture& picture,
               const Options& options) {
  const ByteReader in(bytes);
  Json info{{"file", name}, {"kind", kind_name(picture.kind)}, {"file_bytes", bytes.size()}};
  const bool placeable = picture.kind == MetafileKind::placeable_wmf;
  if (placeable) info["placeable"] = placeable_header(in);
  if (picture.kind != MetafileKind::emf) info["wmf_header"] = wmf_header(in, placeable ? kPlaceableHeaderBytes : 0);
  if (const auto header = picture_header(picture.handle.get())) info["emf_header"] = emf_header(*header);
  info["aspect_ratio"] = picture.aspect;
  if (const auto planned = plan_output_size(options, picture); !failure_of(planned)) {
    const OutputSize s = std::get<OutputSize>(planned);
    info["output_size"] = Json::array({s.width, s.height});
  }
  const RecordCounts records = picture.kind == MetafileKind::emf
                                   ? emf_records(picture.handle.get())
                                   : wmf_records(bytes.subspan(placeable ? kPlaceableHeaderBytes : 0));
  info["record_count"] = records.total;
  if (picture.kind == MetafileKind::emf) info["emf_plus"] = records.emf_plus;
  info["record_types"] = counts_json(records);
  return info;
}

std::string scalar_text(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_float()) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value.get<double>());
    return text;
  }
  if (value.is_array()) {
    std::string joined;
    for (const Json& item : value) {
      if (!joined.empty()) joined += ' ';
      joined += scalar_text(item);
    }
    return joined;
  }
  return value.dump();
}

// "key: value" lines, nested objects indented under their key.
void append_text(const Json& object, int depth, std::string& out) {
  for (const auto& [key, value] : object.items()) {
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + key + ":";
    if (value.is_object()) {
      out += "\n";
      append_text(value, depth + 1, out);
    } else {
      out += ' ';
      out += scalar_text(value) + "\n";
    }
  }
}

}  // namespace

std::string describe(const std::string& name, std::span<const std::uint8_t> bytes, const Picture& picture,
                     const Options& options) {
  const Json info = info_json(name, bytes, picture, options);
  if (options.json) return info.dump(2) + "\n";
  std::string text;
  append_text(info, 0, text);
  return text;
}

}  // namespace velmora::render
