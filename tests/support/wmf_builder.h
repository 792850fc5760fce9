// Builds Windows-metafile bytes record by record, for tests: the memory
// metafile header, the records, META_EOF, and optionally the 22-byte
// placeable header in front (MS-WMF 2.3.2.2 and 2.3.2.3). Values are
// little-endian 16-bit words, as in every WMF.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace velmora::test {

class WmfBuilder {
 public:
  // A record: its size in words (3 header words + parameters), its function
  // number, then the parameters in file order.
  WmfBuilder& record(std::uint16_t function, std::initializer_list<std::int16_t> params) {
    const std::uint32_t words = 3 + static_cast<std::uint32_t>(params.size());
    put32(records_, words);
    put16(records_, function);
    for (std::int16_t p : params) put16(records_, static_cast<std::uint16_t>(p));
    max_record_ = words > max_record_ ? words : max_record_;
    return *this;
  }

  // A record whose parameters are the given bytes, padded with a zero to whole words.
  WmfBuilder& raw(std::uint16_t function, const std::vector<std::uint8_t>& params) {
    const std::uint32_t words = 3 + static_cast<std::uint32_t>((params.size() + 1) / 2);
    put32(records_, words);
    put16(records_, function);
    records_.insert(records_.end(), params.begin(), params.end());
    if (params.size() % 2 != 0) records_.push_back(0);
    max_record_ = words > max_record_ ? words : max_record_;
    return *this;
  }

  // The size of the object table the header announces (players allocate it
  // from this count; objects beyond it are not created).
  WmfBuilder& objects(std::uint16_t count) {
    objects_ = count;
    return *this;
  }

  // Common records; WMF stores points y first, rectangles bottom-right first.
  WmfBuilder& set_window_org(std::int16_t x, std::int16_t y) { return record(0x020B, {y, x}); }
  WmfBuilder& set_window_ext(std::int16_t cx, std::int16_t cy) { return record(0x020C, {cy, cx}); }
  WmfBuilder& rectangle(std::int16_t l, std::int16_t t, std::int16_t r, std::int16_t b) {
    return record(0x041B, {b, r, t, l});
  }

  // The plain metafile: header, records, META_EOF.
  std::vector<std::uint8_t> bytes() const {
    constexpr std::uint32_t kHeaderWords = 9;
    constexpr std::uint32_t kEofWords = 3;
    std::vector<std::uint8_t> out;
    put16(out, 1);       // Type: a memory metafile
    put16(out, kHeaderWords);  // HeaderSize in words
    put16(out, 0x0300);  // Version
    put32(out, kHeaderWords + static_cast<std::uint32_t>(records_.size() / 2) + kEofWords);  // Size in words
    put16(out, objects_);  // NumberOfObjects
    put32(out, max_record_ > kEofWords ? max_record_ : kEofWords);  // MaxRecord in words
    put16(out, 0);       // NumberOfMembers
    out.insert(out.end(), records_.begin(), records_.end());
    put32(out, kEofWords);  // META_EOF: size, function 0
    put16(out, 0);
    return out;
  }

  // The placeable form: key, handle, bounding box, units per inch, reserved,
  // checksum (the XOR of the ten words before it), then the plain metafile.
  std::vector<std::uint8_t> placeable(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                                      std::uint16_t units_per_inch = 1440) const {
    std::vector<std::uint8_t> out;
    put32(out, 0x9AC6CDD7);  // Key
    put16(out, 0);           // HWmf
    for (std::int16_t side : {left, top, right, bottom}) put16(out, static_cast<std::uint16_t>(side));
    put16(out, units_per_inch);
    put32(out, 0);  // Reserved
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < out.size(); i += 2) checksum ^= static_cast<std::uint16_t>(out[i] | out[i + 1] << 8);
    put16(out, checksum);
    const std::vector<std::uint8_t> plain = bytes();
    out.insert(out.end(), plain.begin(), plain.end());
    return out;
  }

 private:
  std::uint16_t objects_ = 0;
  static void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  static void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v));
    put16(out, static_cast<std::uint16_t>(v >> 16));
  }

  std::vector<std::uint8_t> records_;
  std::uint32_t max_record_ = 0;
};

}  // namespace velmora::test
