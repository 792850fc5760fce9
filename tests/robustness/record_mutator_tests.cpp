// The structure-aware mutator, with a stand-in for libFuzzer's own mutation:
// whatever it does to a record's bytes, what it hands back stays within the
// room given and, while it still reads as a metafile, every framing size
// (each record's, the header's bytes, words, records, largest record)
// agrees with the bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "record_mutator.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the stand-in does to the bytes it is given.
enum class Stand { kKeep, kEmpty, kFill };
Stand stand = Stand::kKeep;

}  // namespace

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t max_size) {
  if (stand == Stand::kEmpty) return 0;
  if (stand == Stand::kFill) {
    std::memset(data, 0xA5, max_size);
    return max_size;
  }
  return size;
}

namespace velmora::fuzz {
namespace {

std::uint32_t get32(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
std::uint16_t get16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
void put32(Bytes& b, std::size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void put16(Bytes& b, std::size_t at, std::uint16_t v) { std::memcpy(b.data() + at, &v, 2); }

// An EMF header, then records of the given sizes (type 18, zero bodies); the
// framing counts are left wrong on purpose: the mutator must set them.
Bytes emf(const std::vector<std::uint32_t>& record_sizes) {
  Bytes b(88);
  put32(b, 0, 1);
  put32(b, 4, 88);
  put32(b, 40, 0x464D4520);
  for (std::uint32_t size : record_sizes) {
    const std::size_t at = b.size();
    b.resize(at + size);
    put32(b, at, 18);
    put32(b, at + 4, size);
  }
  return b;
}

// A plain WMF (or one behind the placeable header) with records of the given
// sizes in words (function 0x0102, zero bodies).
Bytes wmf(const std::vector<std::uint32_t>& record_words, bool placeable) {
  const std::size_t start = placeable ? 22 : 0;
  Bytes b(start + 18);
  if (placeable) put32(b, 0, 0x9AC6CDD7);
  put16(b, start, 1);
  put16(b, start + 2, 9);
  put16(b, start + 4, 0x300);
  for (std::uint32_t words : record_words) {
    const std::size_t at = b.size();
    b.resize(at + std::size_t{words} * 2);
    put32(b, at, words);
    put16(b, at + 4, 0x0102);
  }
  return b;
}

// The record count when every size that frames the EMF agrees with the bytes;
// nothing when they disagree; -1 when the bytes no longer read as an EMF.
std::optional<long> emf_records_if_framed(const Bytes& b) {
  if (b.size() < 88 || get32(b, 0) != 1 || get32(b, 40) != 0x464D4520) return -1;
  std::size_t at = get32(b, 4);
  if (at < 88 || at % 4 != 0 || get32(b, 48) != b.size()) return std::nullopt;
  long records = 1;
  for (; at + 8 <= b.size(); ++records) {
    const std::size_t size = get32(b, at + 4);
    if (size < 8 || size % 4 != 0 || size > b.size() - at) return std::nullopt;
    at += size;
  }
  if (at != b.size() || get32(b, 52) != static_cast<std::uint32_t>(records)) return std::nullopt;
  return records;
}

// Likewise for a WMF starting at start: the words in all, the largest record.
std::optional<long> wmf_records_if_framed(const Bytes& b, std::size_t start) {
  if (b.size() < start + 18 || get16(b, start) != 1 || get16(b, start + 2) != 9) return -1;
  if (std::uint64_t{get32(b, start + 6)} * 2 != b.size() - start) return std::nullopt;
  std::size_t at = start + 18;
  std::uint32_t largest = 0;
  long records = 0;
  for (; at + 6 <= b.size(); ++records) {
    const std::uint64_t words = get32(b, at);
    if (words < 3 || words * 2 > b.size() - at) return std::nullopt;
    largest = std::max(largest, static_cast<std::uint32_t>(words));
    at += words * 2;
  }
  if (at != b.size() || get32(b, start + 12) != largest) return std::nullopt;
  return records;
}

Bytes mutated(Bytes input, std::size_t room, unsigned seed) {
  const std::size_t size = input.size();
  input.resize(size + room);
  const std::size_t out = mutate_metafile(input.data(), size, size + room, seed);
  EXPECT_LE(out, input.size()) << seed;
  input.erase(input.begin() + static_cast<std::ptrdiff_t>(std::min(out, input.size())), input.end());
  return input;
}

// Seeds that are multiples of eight leave the framing to libFuzzer's mutations.
constexpr unsigned kSeeds = 2000;
bool structured(unsigned seed) { return seed % 8 != 0; }

TEST(RecordMutator, AHeaderWhoseBytesAreAllTakenAwayKeepsItsLength) {
  stand = Stand::kEmpty;
  for (unsigned seed = 1; seed < 64; ++seed) {
    if (!structured(seed)) continue;
    // The header's own bytes are gone (zeros now); the sizes written into it still fit.
    const Bytes out = mutated(emf({}), 0, seed);
    ASSERT_EQ(out.size(), 88u) << seed;
    EXPECT_EQ(get32(out, 4), 88u) << seed;
    EXPECT_EQ(get32(out, 48), 88u) << seed;
    EXPECT_EQ(get32(out, 52), 1u) << seed;
    const Bytes plain = mutated(wmf({}, false), 0, seed);
    ASSERT_EQ(plain.size(), 18u) << seed;
    EXPECT_EQ(get32(plain, 6), 9u) << seed;
    const Bytes placeable = mutated(wmf({}, true), 0, seed);
    ASSERT_EQ(placeable.size(), 40u) << seed;
    EXPECT_EQ(get32(placeable, 22 + 6), 9u) << seed;
  }
}

TEST(RecordMutator, EveryEmfFramingSizeAgreesAfterAnyMutation) {
  for (Stand mode : {Stand::kKeep, Stand::kEmpty, Stand::kFill}) {
    stand = mode;
    for (unsigned seed = 0; seed < kSeeds; ++seed) {
      const Bytes input = emf({12, 16, 20, 8, 40});
      const std::size_t room = seed % 3 == 0 ? 0 : 300;
      const Bytes out = mutated(input, room, seed);
      ASSERT_LE(out.size(), input.size() + room) << seed;
      if (structured(seed)) {
        EXPECT_TRUE(emf_records_if_framed(out)) << seed;
      }
    }
  }
}

TEST(RecordMutator, EveryWmfFramingSizeAgreesAfterAnyMutation) {
  for (bool placeable : {false, true}) {
    const std::size_t start = placeable ? 22 : 0;
    for (Stand mode : {Stand::kKeep, Stand::kEmpty, Stand::kFill}) {
      stand = mode;
      for (unsigned seed = 0; seed < kSeeds; ++seed) {
        const Bytes input = wmf({3, 5, 4, 9, 3}, placeable);
        const std::size_t room = seed % 3 == 0 ? 0 : 300;
        const Bytes out = mutated(input, room, seed);
        ASSERT_LE(out.size(), input.size() + room) << seed;
        if (structured(seed)) {
          EXPECT_TRUE(wmf_records_if_framed(out, start)) << seed;
        }
      }
    }
  }
}

}  // namespace
}  // namespace velmora::fuzz
