// The WMF object table (MS-WMF 3.1.4.1): every object-creating record takes
// the lowest free slot, SELECTOBJECT and DELETEOBJECT name slots, and a
// deletion frees its slot for the next creation. In the converted EMF an
// object's table index is its slot + 1 (EMF index 0 is the metafile itself).
#pragma once

#include "common/limits.h"
#include "text/font_request.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace velmora::platform::wmf {

enum class ObjectKind : std::uint8_t {
  Pen,
  Brush,
  Font,
  Region,
  Palette,
  Unused,  // bitmaps and unreadable objects: the slot is held, nothing is emitted
};

struct WmfObject {
  ObjectKind kind = ObjectKind::Unused;
  FontRequest font;           // fonts: what they ask for; the charset also says how text bytes are read
  std::vector<RECTL> region;  // regions: their rectangles, in logical units
  std::vector<COLORREF> palette;  // palettes: their entries as RGB colours
};

inline constexpr auto kMaxObjectSlots = limits::kMaxWmfObjectSlots;

class ObjectTable {
 public:
  // The slot the object now occupies, or nothing when the table is full.
  std::optional<std::uint16_t> add(WmfObject object);
  // The object in a slot, or null when the slot is free or out of range.
  const WmfObject* find(std::uint32_t slot) const;
  WmfObject* find(std::uint32_t slot);
  // Frees a slot; false when it held nothing.
  bool remove(std::uint32_t slot);

  static std::uint32_t emf_index(std::uint16_t slot) { return std::uint32_t{slot} + 1; }

 private:
  std::vector<std::optional<WmfObject>> slots_;
  std::set<std::uint16_t> free_;  // free slots below slots_.size(), so the lowest is found at once
};

}  // namespace velmora::platform::wmf
