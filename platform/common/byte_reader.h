// The one bounds-checked reader of file bytes. Every read of metafile, DIB or
// font data goes through it; a read past the end gives an empty optional and
// never touches memory outside the buffer. Values are little-endian, as in
// every Windows metafile format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <type_traits>

namespace velmora::platform {

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}
  explicit ByteReader(std::span<const std::uint8_t> bytes) : ByteReader(bytes.data(), bytes.size()) {}

  std::size_t size() const { return size_; }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return size_ - pos_; }
  const std::uint8_t* data() const { return data_; }

  // Reads an arithmetic value at the cursor and advances past it.
  template <class T>
  std::optional<T> read() {
    std::optional<T> value = read_at<T>(pos_);
    if (value) pos_ += sizeof(T);
    return value;
  }

  // Reads an arithmetic value at an absolute offset; the cursor stays.
  template <class T>
  std::optional<T> read_at(std::size_t offset) const {
    static_assert(std::is_arithmetic_v<T>, "only plain little-endian numbers are read");
    if (!fits(offset, sizeof(T))) return std::nullopt;
    T value;
    std::memcpy(&value, data_ + offset, sizeof(T));
    return value;
  }

  // The next n bytes, advancing past them; empty optional when fewer remain.
  std::optional<std::span<const std::uint8_t>> bytes(std::size_t n) {
    if (!fits(pos_, n)) return std::nullopt;
    std::span<const std::uint8_t> view(data_ + pos_, n);
    pos_ += n;
    return view;
  }

  // A reader over [offset, offset + n) of this one, or empty when it does not fit.
  std::optional<ByteReader> sub(std::size_t offset, std::size_t n) const {
    if (!fits(offset, n)) return std::nullopt;
    return ByteReader(data_ + offset, n);
  }

  bool skip(std::size_t n) {
    if (!fits(pos_, n)) return false;
    pos_ += n;
    return true;
  }

  bool seek(std::size_t offset) {
    if (offset > size_) return false;
    pos_ = offset;
    return true;
  }

  bool fits(std::size_t offset, std::size_t n) const { return offset <= size_ && n <= size_ - offset; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace velmora::platform
