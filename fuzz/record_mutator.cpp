#include "record_mutator.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t max_size);

namespace velmora::fuzz {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kEmfHeaderMin = 88;
constexpr std::size_t kWmfHeaderBytes = 18;
constexpr std::size_t kPlaceableBytes = 22;

std::uint32_t get32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t get16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// A metafile split at its record boundaries. EMF records carry type and
// size in bytes (8 bytes); WMF records their size in words and a function
// (6 bytes). Whatever follows the last well-framed record stays as it was.
struct Metafile {
  bool emf = false;
  std::size_t wmf_start = 0;  // 22 behind a placeable header
  Bytes head;                 // the EMF header record, or the (placeable and) WMF header
  std::vector<Bytes> records;
  Bytes tail;

  std::size_t record_header() const { return emf ? 8 : 6; }
  // join() writes the sizes into the header, so it never gets shorter than this.
  std::size_t head_min() const { return emf ? kEmfHeaderMin : wmf_start + kWmfHeaderBytes; }
  std::size_t alignment() const { return emf ? 4 : 2; }
};

bool split_emf(const Bytes& b, Metafile& m) {
  if (b.size() < kEmfHeaderMin || get32(b, 0) != 1 || get32(b, 40) != kEmfSignature) return false;
  const std::size_t header = get32(b, 4);
  if (header < kEmfHeaderMin || header > b.size() || header % 4 != 0) return false;
  m.emf = true;
  m.head.assign(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(header));
  std::size_t at = header;
  while (at + 8 <= b.size()) {
    const std::size_t size = get32(b, at + 4);
    if (size < 8 || size % 4 != 0 || size > b.size() - at) break;
    m.records.emplace_back(b.begin() + static_cast<std::ptrdiff_t>(at),
                           b.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  }
  m.tail.assign(b.begin() + static_cast<std::ptrdiff_t>(at), b.end());
  return true;
}

bool split_wmf(const Bytes& b, Metafile& m) {
  const std::size_t start = b.size() >= kPlaceableBytes && get32(b, 0) == kPlaceableKey ? kPlaceableBytes : 0;
  if (b.size() < start + kWmfHeaderBytes) return false;
  const std::uint16_t type = get16(b, start);
  if ((type != 1 && type != 2) || get16(b, start + 2) != kWmfHeaderBytes / 2) return false;
  m.wmf_start = start;
  m.head.assign(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(start + kWmfHeaderBytes));
  std::size_t at = start + kWmfHeaderBytes;
  while (at + 6 <= b.size()) {
    const std::uint64_t words = get32(b, at);
    if (words < 3 || words * 2 > b.size() - at) break;
    const std::size_t size = static_cast<std::size_t>(words * 2);
    m.records.emplace_back(b.begin() + static_cast<std::ptrdiff_t>(at),
                           b.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  }
  m.tail.assign(b.begin() + static_cast<std::ptrdiff_t>(at), b.end());
  return true;
}

// Joins the parts and makes every framing size agree with them.
Bytes join(Metafile& m) {
  std::size_t max_words = 0;
  for (Bytes& record : m.records) {
    if (m.emf) {
      put32(record, 4, static_cast<std::uint32_t>(record.size()));
    } else {
      put32(record, 0, static_cast<std::uint32_t>(record.size() / 2));
      max_words = std::max(max_words, record.size() / 2);
    }
  }
  Bytes out = m.head;
  for (const Bytes& record : m.records) out.insert(out.end(), record.begin(), record.end());
  out.insert(out.end(), m.tail.begin(), m.tail.end());
  if (m.emf) {
    put32(out, 4, static_cast<std::uint32_t>(m.head.size()));          // the header's own size
    put32(out, 48, static_cast<std::uint32_t>(out.size()));            // nBytes
    put32(out, 52, static_cast<std::uint32_t>(m.records.size() + 1));  // nRecords, the header included
  } else {
    put32(out, m.wmf_start + 6, static_cast<std::uint32_t>((out.size() - m.wmf_start) / 2));  // Size in words
    put32(out, m.wmf_start + 12, static_cast<std::uint32_t>(max_words));                      // MaxRecord
  }
  return out;
}

// Values that sit on the edges parsers get wrong: counts, sizes, offsets.
constexpr std::uint32_t kInteresting[] = {0,          1,          2,          3,          4,
                                          7,          8,          0x7F,       0x80,       0xFF,
                                          0x100,      0x7FFF,     0x8000,     0xFFFF,     0x10000,
                                          0x00FFFFFF, 0x3FFFFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                          0xFFFFFFFE, 0xFFFF8000, 0x40000000, 0x20000000, 1000000};

class Mutation {
 public:
  Mutation(Metafile& m, unsigned seed, std::size_t room) : m_(m), rng_(seed), room_(room) {}

  void apply() {
    if (m_.records.empty()) return mutate_head();
    switch (pick(8)) {
      case 0:
      case 1: return mutate_body(any_record(), m_.record_header());
      case 7: return set_interesting_field(m_.head);
      case 2: return set_interesting_field(any_record());
      case 3: return retype(any_record());
      case 4: return duplicate();
      case 5: return drop();
      default: return swap();
    }
  }

 private:
  std::size_t pick(std::size_t n) { return n ? std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_) : 0; }
  Bytes& any_record() { return m_.records[pick(m_.records.size())]; }

  // libFuzzer's own mutations on the part behind the record's type and
  // size; the record then grows or shrinks to whole alignment units.
  void mutate_body(Bytes& record, std::size_t keep) {
    if (record.size() < keep) return;
    const std::size_t body = record.size() - keep;
    const std::size_t max_body = body + std::min<std::size_t>(room_, 256);
    record.resize(keep + max_body);
    const std::size_t mutated = LLVMFuzzerMutate(record.data() + keep, body, max_body);
    record.resize(keep + mutated);
    while (record.size() % m_.alignment() != 0) record.push_back(0);
  }

  // A header without records is mutated whole, then given back its length.
  void mutate_head() {
    mutate_body(m_.head, 0);
    if (m_.head.size() < m_.head_min()) m_.head.resize(m_.head_min());
  }

  void set_interesting_field(Bytes& record) {
    const std::size_t width = m_.emf ? 4 : 2;
    const std::size_t header = m_.record_header();
    if (record.size() < header + width) return;
    const std::size_t at = header + pick((record.size() - header) / width) * width;
    const std::uint32_t value = kInteresting[pick(std::size(kInteresting))];
    if (m_.emf) {
      put32(record, at, value);
    } else {
      put16(record, at, static_cast<std::uint16_t>(value));
    }
  }

  // Another record's type or function, so that a handler meets a body
  // shaped for a different one.
  void retype(Bytes& record) {
    const Bytes& other = any_record();
    if (m_.emf) {
      put32(record, 0, pick(4) == 0 ? static_cast<std::uint32_t>(1 + pick(122)) : get32(other, 0));
    } else {
      put16(record, 4, get16(other, 4));
    }
  }

  void duplicate() {
    const std::size_t i = pick(m_.records.size());
    if (m_.records[i].size() > room_) return;
    m_.records.insert(m_.records.begin() + static_cast<std::ptrdiff_t>(pick(m_.records.size() + 1)), m_.records[i]);
  }

  void drop() { m_.records.erase(m_.records.begin() + static_cast<std::ptrdiff_t>(pick(m_.records.size()))); }

  void swap() { std::swap(any_record(), any_record()); }

  Metafile& m_;
  std::minstd_rand rng_;
  std::size_t room_;
};

}  // namespace

std::size_t mutate_metafile(std::uint8_t* data, std::size_t size, std::size_t max_size, unsigned seed) {
  const Bytes input(data, data + size);
  Metafile m;
  // One time in eight the framing itself is fair game.
  if (seed % 8 == 0 || !(split_emf(input, m) || split_wmf(input, m))) return LLVMFuzzerMutate(data, size, max_size);
  Mutation(m, seed, max_size > size ? max_size - size : 0).apply();
  const Bytes out = join(m);
  if (out.size() > max_size) return LLVMFuzzerMutate(data, size, max_size);
  std::memcpy(data, out.data(), out.size());
  return out.size();
}

}  // namespace velmora::fuzz
