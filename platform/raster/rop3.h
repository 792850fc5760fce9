// Ternary raster operations: the destination becomes f(P, S, D), bit by bit,
// where P is the brush (pattern), S the source and D the destination. The
// operation's index is the third byte of the ROP3 code and is f's truth
// table: bit number (p << 2 | s << 1 | d) of the index is f(p, s, d), so
// P = 0xF0, S = 0xCC, D = 0xAA give the index itself (SRCCOPY = 0xCC).
#pragma once

#include <windows.h>

#include <cstdint>

namespace velmora::platform {

// The truth-table index of a ROP3 code (SRCCOPY 0x00CC0020 gives 0xCC).
constexpr std::uint8_t rop3_index(DWORD rop) { return static_cast<std::uint8_t>((rop >> 16) & 0xFF); }

// The background operation of a ROP4 (MAKEROP4): the index in its top byte.
constexpr std::uint8_t rop4_background_index(DWORD rop) { return static_cast<std::uint8_t>(rop >> 24); }

// Whether the result depends on the source, the pattern and the destination.
constexpr bool rop3_uses_source(std::uint8_t index) { return ((index >> 2) ^ index) & 0x33; }
constexpr bool rop3_uses_pattern(std::uint8_t index) { return ((index >> 4) ^ index) & 0x0F; }
constexpr bool rop3_uses_destination(std::uint8_t index) { return ((index >> 1) ^ index) & 0x55; }

// Evaluates any ROP3 on whole 32-bit words through its truth table.
std::uint32_t apply_rop3(std::uint8_t index, std::uint32_t p, std::uint32_t s, std::uint32_t d);

// One ROP3, chosen once per blit: a direct expression for the operations that
// files use, the truth table for the rest.
class Rop3 {
 public:
  explicit Rop3(std::uint8_t index);
  std::uint8_t index() const { return index_; }
  std::uint32_t operator()(std::uint32_t p, std::uint32_t s, std::uint32_t d) const {
    return direct_ ? direct_(p, s, d) : apply_rop3(index_, p, s, d);
  }

 private:
  using Function = std::uint32_t (*)(std::uint32_t p, std::uint32_t s, std::uint32_t d);
  static Function direct_function(std::uint8_t index);

  std::uint8_t index_;
  Function direct_;
};

}  // namespace velmora::platform
