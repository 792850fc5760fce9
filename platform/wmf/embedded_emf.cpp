#include "wmf/embedded_emf.h"

#include "wmf/emf_writer.h"
#include "wmf/wmf_records.h"

namespace velmora::platform::wmf {
namespace {

constexpr std::uint16_t kMfComment = 0x000F;             // MetafileEscapes MFCOMMENT
constexpr std::uint32_t kWmfComment = 0x43464D57;        // "WMFC"
constexpr std::uint32_t kEnhancedMetafile = 0x00000001;  // CommentType
constexpr std::uint32_t kCommentVersion = 0x00010000;

struct Piece {
  std::uint32_t count;      // CommentRecordCount
  std::uint32_t remaining;  // RemainingBytes after this piece
  std::uint32_t total;      // EnhancedMetafileDataSize
  std::span<const std::uint8_t> data;
};

// EscapeFunction, ByteCount, then CommentIdentifier, CommentType, Version,
// Checksum (16-bit, not verified), Flags, CommentRecordCount,
// CurrentRecordSize, RemainingBytes, EnhancedMetafileDataSize, the data.
std::optional<Piece> read_piece(const WmfRecord& record) {
  if (record.function != META_ESCAPE) return std::nullopt;
  ByteReader r = record.params;
  const auto escape = r.read<std::uint16_t>();
  const auto byte_count = r.read<std::uint16_t>();
  const auto identifier = r.read<std::uint32_t>();
  const auto type = r.read<std::uint32_t>();
  const auto version = r.read<std::uint32_t>();
  if (!escape || *escape != kMfComment || !byte_count || !identifier || *identifier != kWmfComment || !type ||
      *type != kEnhancedMetafile || !version || *version != kCommentVersion || !r.skip(2 + 4)) {
    return std::nullopt;
  }
  const auto count = r.read<std::uint32_t>();
  const auto size = r.read<std::uint32_t>();
  const auto remaining = r.read<std::uint32_t>();
  const auto total = r.read<std::uint32_t>();
  const auto data = count && size && remaining && total ? r.bytes(*size) : std::nullopt;
  if (!data) return std::nullopt;
  return Piece{*count, *remaining, *total, *data};
}

// A piece continues the gathered bytes when it names the same count and
// total and its remaining bytes match what is still missing.
bool continues(const Piece& piece, const Piece& first, std::size_t gathered) {
  return piece.count == first.count && piece.total == first.total &&
         std::uint64_t{gathered} + piece.data.size() + piece.remaining == piece.total;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> embedded_emf(const std::vector<WmfRecord>& records) {
  std::optional<Piece> first;
  std::vector<std::uint8_t> emf;
  std::uint32_t pieces = 0;
  for (const WmfRecord& record : records) {
    const auto piece = read_piece(record);
    if (!piece) continue;
    if (!first) {
      if (piece->total > kMaxEmfBytes) return std::nullopt;
      first = piece;
      emf.reserve(piece->total);
    }
    if (!continues(*piece, *first, emf.size())) return std::nullopt;
    emf.insert(emf.end(), piece->data.begin(), piece->data.end());
    ++pieces;
    if (piece->remaining == 0) break;
  }
  if (!first || emf.size() != first->total || pieces != first->count) return std::nullopt;
  return emf;
}

}  // namespace velmora::platform::wmf
