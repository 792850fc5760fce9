#include "wmf/wmf_reader.h"

#include "wmf/wmf_records.h"

namespace velmora::platform::wmf {
namespace {

// mtType: 1 = in memory, 2 = on disk; mtVersion: 0x0100 (no DIBs) or 0x0300.
constexpr std::uint16_t kMemoryMetafile = 1;
constexpr std::uint16_t kDiskMetafile = 2;
constexpr std::uint16_t kHeaderSizeWords = 9;
constexpr std::uint16_t kVersion1 = 0x0100;
constexpr std::uint16_t kVersion3 = 0x0300;

// Checks the 18-byte METAHEADER. Its sizes and object count are often wrong
// in real files and are not relied on: the records and the table grow as
// the data says.
bool read_header(ByteReader& reader) {
  const auto type = reader.read<std::uint16_t>();
  const auto header_words = reader.read<std::uint16_t>();
  const auto version = reader.read<std::uint16_t>();
  if (!type || !header_words || !version || !reader.skip(12)) return false;  // size, objects, max record, members
  if (*type != kMemoryMetafile && *type != kDiskMetafile) return false;
  if (*header_words != kHeaderSizeWords) return false;
  return *version == kVersion1 || *version == kVersion3;
}

enum class Step { Record, End, Refuse };

// Reads the record at the cursor into `record` and moves past it.
Step next_record(ByteReader& reader, WmfRecord& record) {
  const std::size_t start = reader.position();
  const auto words = reader.read<std::uint32_t>();
  const auto function = reader.read<std::uint16_t>();
  if (!words || !function) return Step::End;  // fewer bytes left than a record header: trailing slack
  if (*words < kRecordHeaderWords) return Step::Refuse;
  const std::uint64_t bytes = std::uint64_t{*words} * 2;
  if (bytes > reader.size() - start) return Step::Refuse;
  if (*function == META_EOF) return Step::End;
  const std::size_t param_bytes = static_cast<std::size_t>(bytes) - kRecordHeaderWords * 2;
  record = WmfRecord{*function, *words, *reader.sub(reader.position(), param_bytes)};
  reader.skip(param_bytes);
  return Step::Record;
}

}  // namespace

std::optional<WmfFile> read_wmf(std::span<const std::uint8_t> bytes) {
  ByteReader reader(bytes);
  if (!read_header(reader)) return std::nullopt;
  WmfFile file;
  WmfRecord record{};
  for (;;) {
    const Step step = next_record(reader, record);
    if (step == Step::Refuse) return std::nullopt;
    if (step == Step::End) return file;
    if (file.records.size() == kMaxWmfRecords) return std::nullopt;
    file.records.push_back(record);
  }
}

}  // namespace velmora::platform::wmf
