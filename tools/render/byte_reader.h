// Little-endian reads of file bytes, each checked against the data's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace velmora::render {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  std::optional<std::uint16_t> u16(std::size_t at) const { return read<std::uint16_t>(at); }
  std::optional<std::uint32_t> u32(std::size_t at) const { return read<std::uint32_t>(at); }

 private:
  template <class T>
  std::optional<T> read(std::size_t at) const {
    if (at > bytes_.size() || sizeof(T) > bytes_.size() - at) return std::nullopt;
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(T{bytes_[at + i]} << (8 * i));
    return value;
  }

  std::span<const std::uint8_t> bytes_;
};

}  // namespace velmora::render
