// Damaged copies of small, valid pictures: every prefix, every record cut
// short (with its size field and the file size telling the same story),
// every field set to extreme values, and seeded bit flips. Whatever the
// damage, the EMF player and the WMF conversion refuse the data or play it,
// never crash, never read outside it, and leave no object alive.
#include "robustness/hostile_input.h"
#include "robustness/sweep_pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using velmora::test::Bytes;
using velmora::test::LiveObjects;
using velmora::test::SweepPicture;

constexpr int kCanvasSide = 32;
// Values that break naive arithmetic on counts, sizes and offsets: zero,
// the sign boundary on both sides, all ones, and the 16-bit boundaries.
constexpr std::uint32_t kExtremeWords[] = {0, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x8000, 0xFFFF};
constexpr std::uint16_t kExtremeHalfWords[] = {0, 0x7FFF, 0x8000, 0xFFFF};
// Single-bit flips per picture, then a few copies with many flips at once.
constexpr int kSingleFlips = 96;
constexpr int kScrambledCopies = 16;
constexpr int kFlipsPerScrambledCopy = 12;

enum class Kind { kEmf, kWmf };

struct SweepCase {
  std::string name;
  Bytes bytes;
  Kind kind;
};

struct RecordSpan {
  std::size_t offset;
  std::size_t size;  // bytes
};

std::uint32_t load32(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
  return v;
}
void store32(Bytes& b, std::size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void store16(Bytes& b, std::size_t at, std::uint16_t v) { std::memcpy(b.data() + at, &v, 2); }

// EMF records: type and size in bytes at the start of each (MS-EMF 2.3.1).
std::vector<RecordSpan> emf_records(const Bytes& b) {
  std::vector<RecordSpan> spans;
  for (std::size_t at = 0; at + 8 <= b.size();) {
    const std::uint32_t size = load32(b, at + 4);
    if (size < 8 || at + size > b.size()) break;
    spans.push_back({at, size});
    at += size;
  }
  return spans;
}

// WMF records after the 18-byte header: size in 16-bit words, then the
// function (MS-WMF 2.3); META_EOF, function 0, is the last.
std::vector<RecordSpan> wmf_records(const Bytes& b) {
  constexpr std::size_t kHeaderBytes = 18;
  std::vector<RecordSpan> spans;
  for (std::size_t at = kHeaderBytes; at + 6 <= b.size();) {
    const std::size_t size = std::size_t{load32(b, at)} * 2;
    if (size < 6 || at + size > b.size()) break;
    spans.push_back({at, size});
    at += size;
  }
  return spans;
}

// The picture with one record keeping only its first `kept` bytes; the
// record's size field and the file size in the header say so.
Bytes cut_record(const Bytes& b, RecordSpan record, std::size_t kept, Kind kind) {
  Bytes out(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(record.offset + kept));
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(record.offset + record.size), b.end());
  if (kind == Kind::kEmf) {
    store32(out, record.offset + 4, static_cast<std::uint32_t>(kept));
    if (record.offset != 0) store32(out, offsetof(ENHMETAHEADER, nBytes), static_cast<std::uint32_t>(out.size()));
  } else {
    store32(out, record.offset, static_cast<std::uint32_t>(kept / 2));
    store32(out, 6, static_cast<std::uint32_t>(out.size() / 2));  // the header's Size, in words
  }
  return out;
}

class DamageSweep : public ::testing::TestWithParam<SweepCase> {
 protected:
  void SetUp() override { ASSERT_TRUE(read(GetParam().bytes)) << "the undamaged picture must be accepted"; }

  bool read(const Bytes& bytes) const {
    return GetParam().kind == Kind::kEmf ? velmora::test::play_emf_bytes(bytes, kCanvasSide)
                                         : velmora::test::convert_and_play_wmf_bytes(bytes, kCanvasSide);
  }

  // Reads one damaged copy; false (after one failure report) when it left
  // objects alive, so that a sweep stops at its first leak.
  bool read_without_leak(const Bytes& bytes, const std::string& damage) const {
    const LiveObjects before = LiveObjects::now();
    read(bytes);
    const LiveObjects after = LiveObjects::now();
    if (after == before) return true;
    ADD_FAILURE() << GetParam().name << " " << damage << " left objects alive: " << after.changes_since(before);
    return false;
  }

  std::vector<RecordSpan> records() const {
    return GetParam().kind == Kind::kEmf ? emf_records(GetParam().bytes) : wmf_records(GetParam().bytes);
  }
};

TEST_P(DamageSweep, EveryPrefix) {
  const Bytes& whole = GetParam().bytes;
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    if (!read_without_leak(prefix, "cut to " + std::to_string(length) + " bytes")) return;
  }
}

TEST_P(DamageSweep, EveryRecordCutShort) {
  const std::size_t unit = GetParam().kind == Kind::kEmf ? 4 : 2;
  const std::size_t prefix = GetParam().kind == Kind::kEmf ? 8 : 6;
  for (const RecordSpan& record : records()) {
    for (std::size_t kept = prefix; kept < record.size; kept += unit) {
      const std::string damage = "record at " + std::to_string(record.offset) + " cut to " + std::to_string(kept);
      if (!read_without_leak(cut_record(GetParam().bytes, record, kept, GetParam().kind), damage)) return;
    }
  }
}

TEST_P(DamageSweep, EveryFieldAtExtremes) {
  const Bytes& whole = GetParam().bytes;
  const bool emf = GetParam().kind == Kind::kEmf;
  for (std::size_t at = 0; at + (emf ? 4 : 2) <= whole.size(); at += emf ? 4 : 2) {
    const std::size_t variants = emf ? std::size(kExtremeWords) : std::size(kExtremeHalfWords);
    for (std::size_t v = 0; v < variants; ++v) {
      Bytes damaged = whole;
      emf ? store32(damaged, at, kExtremeWords[v]) : store16(damaged, at, kExtremeHalfWords[v]);
      if (!read_without_leak(damaged, "field at " + std::to_string(at) + " variant " + std::to_string(v))) return;
    }
  }
}

TEST_P(DamageSweep, SeededBitFlips) {
  const Bytes& whole = GetParam().bytes;
  std::mt19937 random(20261209);
  std::uniform_int_distribution<std::size_t> bit(0, whole.size() * 8 - 1);
  for (int i = 0; i < kSingleFlips + kScrambledCopies; ++i) {
    Bytes damaged = whole;
    const int flips = i < kSingleFlips ? 1 : kFlipsPerScrambledCopy;
    std::string damage = "bits flipped:";
    for (int f = 0; f < flips; ++f) {
      const std::size_t b = bit(random);
      damaged[b / 8] ^= static_cast<std::uint8_t>(1u << (b % 8));
      damage += " " + std::to_string(b);
    }
    if (!read_without_leak(damaged, damage)) return;
  }
}

std::vector<SweepCase> sweep_cases() {
  std::vector<SweepCase> cases;
  for (SweepPicture& p : velmora::test::emf_sweep_pictures()) cases.push_back({p.name, std::move(p.bytes), Kind::kEmf});
  for (SweepPicture& p : velmora::test::wmf_sweep_pictures()) cases.push_back({p.name, std::move(p.bytes), Kind::kWmf});
  return cases;
}

std::string case_name(const ::testing::TestParamInfo<SweepCase>& param_info) { return param_info.param.name; }

INSTANTIATE_TEST_SUITE_P(Pictures, DamageSweep, ::testing::ValuesIn(sweep_cases()), case_name);

}  // namespace
