// An enhanced metafile as the platform holds it: a private copy of the file
// bytes, validated once on arrival, with the position of every record.
// Everything after SetEnhMetaFileBits reads records through this index and
// never walks raw bytes again.
#pragma once

#include "gdi/object.h"

#include <cstdint>
#include <span>
#include <vector>

namespace velmora::platform {

struct RecordSpan {
  std::uint32_t type;    // EMR_*
  std::uint32_t offset;  // of the record's first byte in the metafile's bytes
  std::uint32_t size;    // whole record, type and size fields included; a multiple of 4, >= 8
};

class EnhMetaFile : public GdiObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::EnhMetaFile;

  EnhMetaFile(std::vector<std::uint8_t> bytes, std::vector<RecordSpan> records, const ENHMETAHEADER& header)
      : GdiObject(kKind), bytes_(std::move(bytes)), records_(std::move(records)), header_(header) {}

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  const std::vector<RecordSpan>& records() const { return records_; }
  // The header record's fields; those beyond a shorter header's size are zero.
  const ENHMETAHEADER& header() const { return header_; }
  // The bytes of one record, type and size fields included.
  std::span<const std::uint8_t> record_bytes(const RecordSpan& r) const {
    return {bytes_.data() + r.offset, r.size};
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<RecordSpan> records_;
  ENHMETAHEADER header_;
};

// Validates EMF bytes and indexes their records; null when they cannot be an
// enhanced metafile. Shared by SetEnhMetaFileBits and the WMF conversion.
std::unique_ptr<EnhMetaFile> parse_enh_metafile(std::span<const std::uint8_t> bytes);

}  // namespace velmora::platform
