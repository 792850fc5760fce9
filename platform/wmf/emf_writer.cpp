#include "wmf/emf_writer.h"

#include <algorithm>
#include <cstring>

namespace velmora::platform::wmf {
namespace {

// The header as written: ENHMETAHEADER with szlMicrometers and without a
// description or pixel format (MS-EMF 2.3.4.2, the HeaderExtension2 form).
constexpr std::uint32_t kHeaderBytes = sizeof(ENHMETAHEADER);
// EMR_EOF: type, size, nPalEntries, offPalEntries, nSizeLast (MS-EMF 2.3.4.1).
constexpr std::uint32_t kEofBytes = 20;
constexpr std::uint32_t kEofPaletteOffset = 16;
constexpr std::uint32_t kEmfVersion = 0x10000;
constexpr std::uint16_t kMaxHandles = 0xFFFF;

void patch32(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
  std::memcpy(out.data() + offset, &value, 4);
}

EmfRecord header_record(const EmfPictureSize& size, std::uint32_t total_bytes, std::uint32_t records,
                        std::uint16_t handles) {
  EmfRecord header(EMR_HEADER);
  header.rect(size.bounds).rect(size.frame).u32(ENHMETA_SIGNATURE).u32(kEmfVersion);
  header.u32(total_bytes).u32(records).u16(handles).u16(0);
  header.u32(0).u32(0).u32(0);  // no description, no palette
  header.i32(size.device.cx).i32(size.device.cy).i32(size.millimeters.cx).i32(size.millimeters.cy);
  header.u32(0).u32(0).u32(0);  // no pixel format, not OpenGL
  header.i32(size.millimeters.cx * 1000).i32(size.millimeters.cy * 1000);
  return header;
}

}  // namespace

EmfRecord::EmfRecord(std::uint32_t type) {
  u32(type);
  u32(0);  // the size, settled by EmfWriter::add
}

EmfRecord& EmfRecord::u32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
  return *this;
}

EmfRecord& EmfRecord::u16(std::uint16_t value) {
  bytes_.push_back(static_cast<std::uint8_t>(value));
  bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  return *this;
}

EmfRecord& EmfRecord::u8(std::uint8_t value) {
  bytes_.push_back(value);
  return *this;
}

EmfRecord& EmfRecord::f32(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return u32(bits);
}

EmfRecord& EmfRecord::bytes(std::span<const std::uint8_t> data) {
  bytes_.insert(bytes_.end(), data.begin(), data.end());
  return *this;
}

EmfRecord& EmfRecord::zeros(std::size_t count) {
  bytes_.resize(bytes_.size() + count, 0);
  return *this;
}

EmfRecord& EmfRecord::align4() { return zeros((4 - bytes_.size() % 4) % 4); }

bool EmfWriter::add(EmfRecord record) {
  record.align4();
  const std::vector<std::uint8_t>& data = record.data();
  if (overflowed_ || body_.size() + data.size() > kMaxEmfBytes) {
    overflowed_ = true;
    return false;
  }
  const std::size_t start = body_.size();
  body_.insert(body_.end(), data.begin(), data.end());
  patch32(body_, start + 4, static_cast<std::uint32_t>(data.size()));
  ++records_;
  return true;
}

void EmfWriter::use_object_index(std::uint32_t index) {
  handles_ = std::max(handles_, std::min<std::uint32_t>(index + 1, kMaxHandles));
}

std::vector<std::uint8_t> EmfWriter::finish(const EmfPictureSize& size) const {
  if (overflowed_) return {};
  const auto total = static_cast<std::uint32_t>(kHeaderBytes + body_.size() + kEofBytes);
  const auto records = static_cast<std::uint32_t>(records_ + 2);
  EmfRecord header = header_record(size, total, records, static_cast<std::uint16_t>(handles_));
  EmfRecord eof(EMR_EOF);
  eof.u32(0).u32(kEofPaletteOffset).u32(kEofBytes);

  std::vector<std::uint8_t> out = header.data();
  patch32(out, 4, kHeaderBytes);
  out.insert(out.end(), body_.begin(), body_.end());
  const std::size_t eof_start = out.size();
  out.insert(out.end(), eof.data().begin(), eof.data().end());
  patch32(out, eof_start + 4, kEofBytes);
  return out;
}

}  // namespace velmora::platform::wmf
