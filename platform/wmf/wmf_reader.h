// Reads the framing of a Windows metafile (MS-WMF 2.3.2.2 META_HEADER and the
// records after it) and validates it once: the header's fields, and that
// every record's size is at least its own header and stays inside the data.
// The converter then walks the returned records without checking framing
// again; each record's parameters are a ByteReader over exactly its bytes.
#pragma once

#include "common/byte_reader.h"
#include "common/limits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmora::platform::wmf {

struct WmfRecord {
  std::uint16_t function;  // META_* (MS-WMF 2.1.1.1)
  std::uint32_t words;     // whole record, its 6-byte header included, in 16-bit words
  ByteReader params;       // the parameters after the 6-byte header
};

struct WmfFile {
  std::vector<WmfRecord> records;  // in file order, META_EOF not included
};

// The size of one record's own header: size (2 words) and function.
inline constexpr std::uint32_t kRecordHeaderWords = 3;
using limits::kMaxWmfRecords;

// The records of WMF data, or nothing when the data is not a WMF: a bad
// header, a record size below its own header (a zero size would loop
// forever), a record that runs past the data, or too many records.
// The walk ends at META_EOF, or at the end of the data when fewer bytes than
// a record header are left.
std::optional<WmfFile> read_wmf(std::span<const std::uint8_t> bytes);

}  // namespace velmora::platform::wmf
