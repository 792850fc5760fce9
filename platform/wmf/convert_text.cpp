// META_TEXTOUT and META_EXTTEXTOUT become EMR_EXTTEXTOUTW (MS-EMF 2.3.5.8):
// the bytes read in the selected font's character set, the 16-bit spacing
// array (one entry per byte, or an x, y pair per byte with ETO_PDY) widened
// to one entry per character. A record
// without spacing gets the font's own advances on the reference device.
#include "wmf/ansi_text.h"
#include "wmf/conversion.h"
#include "wmf/text_bounds.h"
#include "wmf/wmf_records.h"

#include <cstdlib>

namespace velmora::platform::wmf {
namespace {

// EMR_EXTTEXTOUTW up to its string: type, size, rclBounds, iGraphicsMode,
// exScale, eyScale, then the EmrText object's ptlReference, nChars,
// offString, fOptions, rcl and offDx.
constexpr std::uint32_t kStringOffset = 76;
constexpr std::uint16_t kRectangleOptions = ETO_OPAQUE | ETO_CLIPPED;
struct TextRun {
  POINT reference;
  std::uint16_t options = 0;
  RECTL rectangle{0, 0, 0, 0};
  std::span<const std::uint8_t> bytes;
  std::vector<std::int16_t> dx;  // empty, or one per byte
  std::vector<std::int16_t> dy;  // ETO_PDY: the y advance of each byte; else empty
};

// The drawn bounds as the platform's conversion counts them: the run's box
// (or its reference point, when the text cannot be measured); neither the
// opaque nor the clipping rectangle counts.
void include_run(Conversion& c, const TextRun& run, const std::optional<TextRunMeasure>& measure) {
  if (measure) {
    c.include(measure->box.x1, measure->box.y1);
    c.include(measure->box.x2, measure->box.y2);
  } else {
    c.include(run.reference.x, run.reference.y);
  }
}

std::optional<TextRunMeasure> measure(Conversion& c, const TextRun& run, const std::vector<DecodedChar>& text,
                                      const std::vector<std::int32_t>& dx) {
  std::u32string codes;
  for (const DecodedChar& ch : text) codes.push_back(ch.unit);
  const TextRunPlacement placement{codes, dx, run.reference, c.text_align(), c.text_spacing()};
  return measure_text_run(c.font().font, placement, c.mapping().page_transform());
}

// One advance per character: a double-byte character moves by the spacing
// of both its bytes.
std::vector<std::int32_t> advances_per_char(const std::vector<DecodedChar>& text, const std::vector<std::int16_t>& dx) {
  std::vector<std::int32_t> out;
  if (dx.empty()) return out;
  std::size_t byte = 0;
  for (const DecodedChar& ch : text) {
    std::int32_t advance = 0;
    for (std::uint8_t i = 0; i < ch.bytes && byte < dx.size(); ++i) advance += dx[byte++];
    out.push_back(advance);
  }
  return out;
}

void emit_run(Conversion& c, const TextRun& run) {
  const std::vector<DecodedChar> text = decode_ansi(run.bytes, c.font().font.charset);
  std::vector<std::int32_t> dx = advances_per_char(text, run.dx);
  const std::vector<std::int32_t> dy = advances_per_char(text, run.dy);
  std::optional<TextRunMeasure> measured = measure(c, run, text, dx);
  // Text without spacing gets the advances the reference device gives it,
  // so that it keeps the width it had there on any target; its box is then
  // where those advances put it.
  if (dx.empty() && measured) {
    dx = measured->advances;
    measured = measure(c, run, text, dx);
  }
  const auto chars = static_cast<std::uint32_t>(text.size());
  const std::uint32_t dx_offset = dx.empty() ? 0 : kStringOffset + (chars * 2 + 3) / 4 * 4;
  const bool pairs = !dy.empty() && dy.size() == dx.size();
  EmfRecord out(EMR_EXTTEXTOUTW);
  out.rect({0, 0, -1, -1}).u32(GM_COMPATIBLE).f32(0.0f).f32(0.0f);
  const std::uint32_t options = pairs ? run.options : run.options & ~static_cast<std::uint32_t>(ETO_PDY);
  out.i32(run.reference.x).i32(run.reference.y).u32(chars).u32(kStringOffset).u32(options);
  out.rect(run.rectangle).u32(dx_offset);
  for (const DecodedChar& ch : text) out.u16(ch.unit);
  out.align4();
  for (std::size_t i = 0; i < dx.size(); ++i) {
    out.i32(dx[i]);
    if (pairs) out.i32(dy[i]);
  }
  include_run(c, run, measured);
  c.emit(std::move(out));
}

// The string's bytes; WMF pads them to a whole number of 16-bit words.
std::optional<std::span<const std::uint8_t>> read_string(ByteReader& reader, std::size_t length) {
  const auto bytes = reader.bytes(length);
  if (bytes && length % 2 != 0) reader.skip(1);
  return bytes;
}

// TextOut: StringLength, String, YStart, XStart.
void convert_text_out(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto length = params.read<std::uint16_t>();
  if (!length || *length == 0) return;
  const auto bytes = read_string(params, *length);
  const auto yx = bytes ? read_i16<2>(params) : std::nullopt;
  if (!yx) return;
  TextRun run;
  run.reference = {(*yx)[1], (*yx)[0]};
  run.bytes = *bytes;
  emit_run(c, run);
}

// The optional spacing after an ExtTextOut's string: one x advance per
// byte, or with ETO_PDY an x and a y advance per byte. Spacing too short for
// its string is ignored.
void read_spacing(ByteReader& params, std::size_t length, TextRun& run) {
  const bool pairs = (run.options & ETO_PDY) != 0 && params.remaining() / 4 >= length;
  if (!pairs && params.remaining() / 2 < length) return;
  run.dx.resize(length);
  if (pairs) run.dy.resize(length);
  for (std::size_t i = 0; i < length; ++i) {
    run.dx[i] = *params.read<std::int16_t>();
    if (pairs) run.dy[i] = *params.read<std::int16_t>();
  }
}

// ExtTextOut: Y, X, StringLength, fwOpts, Rectangle (left, top, right,
// bottom; only with ETO_OPAQUE or ETO_CLIPPED), String, optional Dx. With no
// string it still paints its opaque rectangle, which writers use to fill boxes.
void convert_ext_text_out(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto head = read_i16<4>(params);
  if (!head || (*head)[2] < 0) return;
  TextRun run;
  run.reference = {(*head)[1], (*head)[0]};
  run.options = static_cast<std::uint16_t>((*head)[3]);
  if ((*head)[2] == 0 && !(run.options & ETO_OPAQUE)) return;  // no text, no opaque box: nothing to draw
  if (run.options & kRectangleOptions) {
    const auto r = read_i16<4>(params);
    if (!r) return;
    run.rectangle = {(*r)[0], (*r)[1], (*r)[2], (*r)[3]};
  }
  const auto length = static_cast<std::size_t>((*head)[2]);
  const auto bytes = read_string(params, length);
  if (!bytes) return;
  run.bytes = *bytes;
  read_spacing(params, length, run);
  emit_run(c, run);
}

constexpr ConverterEntry kConverters[] = {
    {META_TEXTOUT, convert_text_out},
    {META_EXTTEXTOUT, convert_ext_text_out},
};

}  // namespace

std::span<const ConverterEntry> text_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
