#include "emf/enh_metafile.h"

#include "common/byte_reader.h"
#include "common/limits.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace velmora::platform {
namespace {

// The oldest header form (MS-EMF 2.3.4.2) ends after szlMillimeters; the
// pixel-format and micrometre extensions came later and may be missing.
constexpr std::size_t kMinHeaderSize = 88;

// Every record starts with its type and its size (MS-EMF 2.3.1).
constexpr std::uint32_t kRecordPrefixSize = 8;

using limits::kMaxMetafileBytes;

using limits::kMaxRecords;

bool is_valid_record_size(std::uint32_t size) { return size >= kRecordPrefixSize && size % 4 == 0; }

// The header record's fields, zero where a short header ends; empty when the
// first record is not an enhanced-metafile header.
std::optional<ENHMETAHEADER> read_header(const ByteReader& data) {
  const std::optional<std::uint32_t> type = data.read_at<std::uint32_t>(0);
  const std::optional<std::uint32_t> size = data.read_at<std::uint32_t>(4);
  const std::optional<std::uint32_t> signature = data.read_at<std::uint32_t>(offsetof(ENHMETAHEADER, dSignature));
  if (!type || !size || !signature) return std::nullopt;
  if (*type != EMR_HEADER || *signature != ENHMETA_SIGNATURE || *size < kMinHeaderSize) return std::nullopt;
  if (!is_valid_record_size(*size) || !data.fits(0, *size)) return std::nullopt;

  ENHMETAHEADER header{};
  const std::optional<ByteReader> fields = data.sub(0, std::min<std::size_t>(*size, sizeof(ENHMETAHEADER)));
  std::memcpy(&header, fields->data(), fields->size());
  return header;
}

// Indexes the records from the header up to and including EMR_EOF. Header
// counts (nBytes, nRecords) are often wrong in real files and are ignored:
// the data itself decides. Data that ends without EMR_EOF keeps the records
// before the end; a tail too short to hold a record prefix is ignored. A
// record whose size is impossible or runs past the data refuses the whole.
std::optional<std::vector<RecordSpan>> index_records(const ByteReader& data) {
  std::vector<RecordSpan> records;
  std::size_t offset = 0;
  while (data.fits(offset, kRecordPrefixSize)) {
    const std::uint32_t type = *data.read_at<std::uint32_t>(offset);
    const std::uint32_t size = *data.read_at<std::uint32_t>(offset + 4);
    if (!is_valid_record_size(size) || !data.fits(offset, size)) return std::nullopt;
    if (records.size() >= kMaxRecords) return std::nullopt;
    records.push_back({type, static_cast<std::uint32_t>(offset), size});
    offset += size;
    if (type == EMR_EOF) break;
  }
  return records;
}

}  // namespace

std::unique_ptr<EnhMetaFile> parse_enh_metafile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > kMaxMetafileBytes) return nullptr;
  const ByteReader data(bytes);
  const std::optional<ENHMETAHEADER> header = read_header(data);
  if (!header) return nullptr;
  std::optional<std::vector<RecordSpan>> records = index_records(data);
  if (!records) return nullptr;

  // Keep exactly the indexed records: bytes after EMR_EOF are not part of the picture.
  const RecordSpan& last = records->back();
  const std::size_t used = std::size_t{last.offset} + last.size;
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(used));
  return std::make_unique<EnhMetaFile>(std::move(copy), std::move(*records), *header);
}

}  // namespace velmora::platform
