#include "raster/rop3.h"

namespace velmora::platform {
namespace {

// Index values of the named raster operations (the third byte of each code).
constexpr std::uint8_t kBlackness = 0x00;
constexpr std::uint8_t kNotSrcErase = 0x11;    // ~(S | D)
constexpr std::uint8_t kNotSrcCopy = 0x33;     // ~S
constexpr std::uint8_t kSrcErase = 0x44;       // S & ~D
constexpr std::uint8_t kDstInvert = 0x55;      // ~D
constexpr std::uint8_t kPatInvert = 0x5A;      // P ^ D
constexpr std::uint8_t kSrcInvert = 0x66;      // S ^ D
constexpr std::uint8_t kSrcAnd = 0x88;         // S & D
constexpr std::uint8_t kMergePaint = 0xBB;     // ~S | D
constexpr std::uint8_t kMergeCopy = 0xC0;      // P & S
constexpr std::uint8_t kSrcCopy = 0xCC;        // S
constexpr std::uint8_t kSrcPaint = 0xEE;       // S | D
constexpr std::uint8_t kPatCopy = 0xF0;        // P
constexpr std::uint8_t kPatPaint = 0xFB;       // P | ~S | D
constexpr std::uint8_t kWhiteness = 0xFF;
// The ternary operations that transparent-mask tricks use.
constexpr std::uint8_t kKeepWhereSourceSet = 0xB8;  // (D & S) | (~S & P): D where S is 1, pattern where 0
constexpr std::uint8_t kPaintWhereSourceSet = 0xE2;  // (P & S) | (~S & D): pattern where S is 1, D where 0

std::uint32_t generic_rop(std::uint32_t p, std::uint32_t s, std::uint32_t d, std::uint8_t index) {
  std::uint32_t result = 0;
  for (int term = 0; term < 8; ++term) {
    if (!((index >> term) & 1)) continue;
    const std::uint32_t pp = (term & 4) ? p : ~p;
    const std::uint32_t ss = (term & 2) ? s : ~s;
    const std::uint32_t dd = (term & 1) ? d : ~d;
    result |= pp & ss & dd;
  }
  return result;
}

}  // namespace

std::uint32_t apply_rop3(std::uint8_t index, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  return generic_rop(p, s, d, index);
}

Rop3::Rop3(std::uint8_t index) : index_(index), direct_(direct_function(index)) {}

Rop3::Function Rop3::direct_function(std::uint8_t index) {
  switch (index) {
    case kBlackness: return [](std::uint32_t, std::uint32_t, std::uint32_t) -> std::uint32_t { return 0; };
    case kNotSrcErase: return [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return ~(s | d); };
    case kNotSrcCopy: return [](std::uint32_t, std::uint32_t s, std::uint32_t) { return ~s; };
    case kSrcErase: return [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s & ~d; };
    case kDstInvert: return [](std::uint32_t, std::uint32_t, std::uint32_t d) { return ~d; };
    case kPatInvert: return [](std::uint32_t p, std::uint32_t, std::uint32_t d) { return p ^ d; };
    case kSrcInvert: return [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s ^ d; };
    case kSrcAnd: return [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s & d; };
    case kKeepWhereSourceSet: return [](std::uint32_t p, std::uint32_t s, std::uint32_t d) { return (d & s) | (~s & p); };
    case kMergePaint: return [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return ~s | d; };
    case kMergeCopy: return [](std::uint32_t p, std::uint32_t s, std::uint32_t) { return p & s; };
    case kSrcCopy: return [](std::uint32_t, std::uint32_t s, std::uint32_t) { return s; };
    case kPaintWhereSourceSet: return [](std::uint32_t p, std::uint32_t s, std::uint32_t d) { return (p & s) | (~s & d); };
    case kSrcPaint: return [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s | d; };
    case kPatCopy: return [](std::uint32_t p, std::uint32_t, std::uint32_t) { return p; };
    case kPatPaint: return [](std::uint32_t p, std::uint32_t s, std::uint32_t d) { return p | ~s | d; };
    case kWhiteness: return [](std::uint32_t, std::uint32_t, std::uint32_t) -> std::uint32_t { return 0xFFFFFFFFu; };
    default: return nullptr;
  }
}

}  // namespace velmora::platform
