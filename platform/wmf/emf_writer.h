// Writes enhanced-metafile bytes: records appended one by one, then the
// EMR_HEADER (sizes, counts, bounds and frame filled in) put before them and
// EMR_EOF after them. The conversion emits only EMF records through it; the
// result is handed to the same validation as any EMF file.
#pragma once

#include "common/limits.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmora::platform::wmf {

// One record under construction: fields are appended in file order; the
// type and size fields come first and the size is settled by EmfWriter::add.
class EmfRecord {
 public:
  explicit EmfRecord(std::uint32_t type);

  EmfRecord& u32(std::uint32_t value);
  EmfRecord& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
  EmfRecord& u16(std::uint16_t value);
  EmfRecord& i16(std::int16_t value) { return u16(static_cast<std::uint16_t>(value)); }
  EmfRecord& u8(std::uint8_t value);
  EmfRecord& f32(float value);
  EmfRecord& rect(const RECTL& r) { return i32(r.left).i32(r.top).i32(r.right).i32(r.bottom); }
  EmfRecord& bytes(std::span<const std::uint8_t> data);
  EmfRecord& zeros(std::size_t count);
  // Zero bytes up to the next multiple of four, as records and the arrays
  // inside them are aligned.
  EmfRecord& align4();

  // Bytes so far, the type and size fields included: the offset of the next field.
  std::uint32_t size() const { return static_cast<std::uint32_t>(bytes_.size()); }
  const std::vector<std::uint8_t>& data() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// What the header says about the picture.
struct EmfPictureSize {
  RECTL bounds;  // inclusive, in device units
  RECTL frame;   // in 0.01 mm
  SIZEL device;  // the reference device in pixels
  SIZEL millimeters;  // and in millimetres
};

inline constexpr auto kMaxEmfBytes = limits::kMaxConvertedEmfBytes;

class EmfWriter {
 public:
  // Appends a finished record, padded to four bytes. False (and the writer
  // becomes unusable) when the file would exceed kMaxEmfBytes.
  bool add(EmfRecord record);
  // Remembers that an object-table index is in use, for the header's nHandles.
  void use_object_index(std::uint32_t index);

  // The whole file: header, the added records, EOF. Empty after an overflow.
  std::vector<std::uint8_t> finish(const EmfPictureSize& size) const;

 private:
  std::vector<std::uint8_t> body_;
  std::size_t records_ = 0;
  std::uint32_t handles_ = 1;  // index 0 is the metafile itself
  bool overflowed_ = false;
};

}  // namespace velmora::platform::wmf
