// Helpers for feeding untrusted bytes to the entry points: each reader of
// metafile bytes gets the data the way the fuzz targets give it, and a
// snapshot of the platform's live objects tells whether a call released
// everything it made.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

// Live objects of every type a metafile can make or a renderer uses.
class LiveObjects {
 public:
  static constexpr std::size_t kTypeCount = 9;

  static LiveObjects now();
  bool operator==(const LiveObjects&) const = default;
  // The types whose counts differ from `before`, e.g. "OBJ_PEN 3 -> 4".
  std::string changes_since(const LiveObjects& before) const;

 private:
  std::array<std::size_t, kTypeCount> counts_{};
};

// A memory device context with a side x side 32-bit DIB section selected.
class SmallCanvas {
 public:
  explicit SmallCanvas(int side);
  ~SmallCanvas();
  SmallCanvas(const SmallCanvas&) = delete;
  SmallCanvas& operator=(const SmallCanvas&) = delete;

  HDC dc() const { return dc_; }
  // The whole canvas, right and bottom inclusive.
  RECT bounds() const { return {0, 0, side_ - 1, side_ - 1}; }
  void play(HENHMETAFILE picture) const;

 private:
  int side_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// SetEnhMetaFileBits of the bytes and, when accepted, PlayEnhMetaFile into a
// side x side 32-bit DIB section. True when the bytes were accepted.
bool play_emf_bytes(const Bytes& bytes, int side);
// SetWinMetaFileBits of the bytes and, when accepted, the same playback of the result.
bool convert_and_play_wmf_bytes(const Bytes& bytes, int side);

}  // namespace velmora::test
