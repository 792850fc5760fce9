// The state of one WMF-to-EMF conversion, shared by the record converters:
// the EMF being written, the WMF object table, the mapping the player will
// apply (with SAVEDC/RESTOREDC), the selected font's character set and the
// device bounds of what is drawn. Each record converter reads one WMF
// record's parameters and emits EMF records; a record it cannot read is
// skipped, never fatal.
#pragma once

#include "common/limits.h"
#include "wmf/device_mapping.h"
#include "wmf/emf_writer.h"
#include "wmf/object_table.h"
#include "wmf/text_bounds.h"
#include "wmf/wmf_reader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace velmora::platform::wmf {

// The size the caller gives the picture (a METAFILEPICT's extent, in
// 0.01 mm, which are the reference device's pixels), or none: the WMF is
// then drawn onto the whole reference device surface and framed by the
// bounds of what it draws, as SetWinMetaFileBits does without one.
using PictureExtent = std::optional<SIZE>;

using limits::kMaxTrackedSaves;

class Conversion {
 public:
  explicit Conversion(PictureExtent extent);

  // The records that set up the reference mapping, before any WMF record.
  void begin();
  bool emit(EmfRecord record) { return out_.add(std::move(record)); }
  void use_object_index(std::uint32_t index) { out_.use_object_index(index); }
  // The finished EMF bytes; empty when the writer overflowed.
  std::vector<std::uint8_t> finish() const;

  ObjectTable& objects() { return objects_; }
  DeviceMapping& mapping() { return state_.mapping; }
  // A WMF COLORREF as RGB: palette indexes (0x01 in the high byte) are
  // looked up in the selected palette, or the default one; palette-relative
  // RGB (0x02) loses its flag.
  COLORREF color(std::uint32_t wmf_color) const;
  void select_palette(std::uint16_t slot) { state_.palette_slot = slot; }
  std::optional<std::uint16_t> selected_palette_slot() const { return state_.palette_slot; }

  // The selected font, as far as text conversion needs it.
  const WmfObject& font() const { return state_.font; }
  void select_font(const WmfObject& font) { state_.font = font; }
  std::uint16_t text_align() const { return state_.text_align; }
  void set_text_align(std::uint16_t align) { state_.text_align = align; }
  // SetTextCharacterExtra and SetTextJustification, which EMF lacks: their
  // spacing goes into the text records' advances.
  const TextSpacing& text_spacing() const { return state_.spacing; }
  void set_char_extra(int extra) { state_.spacing.char_extra = extra; }
  void set_justification(int extra, int count) {
    state_.spacing.break_extra = extra;
    state_.spacing.break_count = count;
  }

  void save();
  // A WMF RESTOREDC argument: negative is relative, positive an absolute
  // level. The EMF relative form, or nothing when no such saved state exists.
  std::optional<int> restore(int saved);

  // Widens the drawn bounds by a logical point or rectangle, or a point in
  // device pixels.
  void include(double x, double y);
  void include_device(double x, double y);
  // A shape's box (logical), as the platform counts it: its right and
  // bottom edges are outside the shape.
  void include_shape_box(double left, double top, double right, double bottom);
  void include_rect(double left, double top, double right, double bottom);

 private:
  struct DcState {
    DeviceMapping mapping;
    WmfObject font;  // its charset, height and escapement; no region
    std::uint16_t text_align = TA_LEFT | TA_TOP;
    TextSpacing spacing;
    std::optional<std::uint16_t> palette_slot;
  };
  EmfPictureSize picture_size() const;
  RECTL ink_frame() const;

  PictureExtent extent_;
  EmfWriter out_;
  ObjectTable objects_;
  DcState state_;
  std::vector<DcState> saved_;
  std::size_t untracked_saves_ = 0;
  bool has_ink_ = false;
  double ink_[4] = {0, 0, 0, 0};  // left, top, right, bottom in device units
};

// Reads N signed 16-bit parameters, the form of most WMF record parameters.
template <std::size_t N>
std::optional<std::array<std::int16_t, N>> read_i16(ByteReader& reader) {
  std::array<std::int16_t, N> values{};
  for (std::int16_t& v : values) {
    const auto word = reader.read<std::int16_t>();
    if (!word) return std::nullopt;
    v = *word;
  }
  return values;
}

// One converter per WMF record function.
using RecordConverter = void (*)(const WmfRecord&, Conversion&);
struct ConverterEntry {
  std::uint16_t function;
  RecordConverter convert;
};

// The converters of each record family, each in its own file.
std::span<const ConverterEntry> state_converters();
std::span<const ConverterEntry> object_converters();
std::span<const ConverterEntry> palette_converters();
std::span<const ConverterEntry> shape_converters();
std::span<const ConverterEntry> text_converters();
std::span<const ConverterEntry> clip_converters();
std::span<const ConverterEntry> region_converters();
std::span<const ConverterEntry> bitmap_converters();

}  // namespace velmora::platform::wmf
