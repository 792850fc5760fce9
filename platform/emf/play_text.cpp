// The text records: fonts (EMR_EXTCREATEFONTINDIRECTW) and the text outputs
// (EMR_EXTTEXTOUTW and A, EMR_POLYTEXTOUTW and A, EMR_SMALLTEXTOUT). The
// text state (alignment, colours, justification) is played with the rest of
// the DC state.
#include "common/limits.h"
#include "emf/record_handlers.h"
#include "emf/text_drawing.h"
#include "emf/text_records.h"
#include "gdi/gdi_objects.h"

namespace velmora::platform {
namespace {

using limits::kMaxPolyTextStrings;

// Single-byte strings in a symbol font are glyph codes, not ANSI text.
ByteEncoding byte_encoding(const DeviceContext& dc) {
  return dc.state().font_traits.lfCharSet == SYMBOL_CHARSET ? ByteEncoding::Verbatim : ByteEncoding::Ansi;
}

// iGraphicsMode of the record; anything else than the two modes means the DC's.
int graphics_mode_of(std::uint32_t field, const DeviceContext& dc) {
  if (field == GM_COMPATIBLE || field == GM_ADVANCED) return static_cast<int>(field);
  return dc.state().graphics_mode;
}

// rclBounds, iGraphicsMode, exScale and eyScale: only the mode is used; the
// scales are ignored, as the platform ignores them.
std::optional<int> read_text_record_head(ByteReader& body, const DeviceContext& dc) {
  if (!body.skip(16)) return std::nullopt;
  auto mode = body.read<std::uint32_t>();
  if (!mode || !body.skip(8)) return std::nullopt;
  return graphics_mode_of(*mode, dc);
}

void ext_text_out(Playback& playback, ByteReader body, bool wide) {
  DeviceContext& dc = playback.dc();
  const ByteReader record = body;
  const std::optional<int> mode = read_text_record_head(body, dc);
  if (!mode) return;
  const TextRecordContext context{&record, wide, byte_encoding(dc)};
  if (std::optional<TextOut> text = read_emr_text(body, context)) draw_text_out(dc, *text, *mode);
}

void poly_text_out(Playback& playback, ByteReader body, bool wide) {
  DeviceContext& dc = playback.dc();
  const ByteReader record = body;
  const std::optional<int> mode = read_text_record_head(body, dc);
  auto count = body.read<std::uint32_t>();
  if (!mode || !count || *count > kMaxPolyTextStrings) return;
  const TextRecordContext context{&record, wide, byte_encoding(dc)};
  for (std::uint32_t i = 0; i < *count; ++i) {
    std::optional<TextOut> text = read_emr_text(body, context);
    if (!text) return;
    draw_text_out(dc, *text, *mode);
  }
}

void on_ext_text_out_w(Playback& playback, ByteReader body) { ext_text_out(playback, body, true); }
void on_ext_text_out_a(Playback& playback, ByteReader body) { ext_text_out(playback, body, false); }
void on_poly_text_out_w(Playback& playback, ByteReader body) { poly_text_out(playback, body, true); }
void on_poly_text_out_a(Playback& playback, ByteReader body) { poly_text_out(playback, body, false); }

void on_small_text_out(Playback& playback, ByteReader body) {
  DeviceContext& dc = playback.dc();
  auto mode = body.read_at<std::uint32_t>(16);  // after x, y, cChars and fuOptions
  if (!mode) return;
  if (std::optional<TextOut> text = read_small_text(body, byte_encoding(dc)))
    draw_text_out(dc, *text, graphics_mode_of(*mode, dc));
}

// MS-EMF 2.3.7.8: ihFont, then a LogFont (the longer LogFontEx and
// LogFontExDv forms start with the same 92 bytes).
void on_ext_create_font(Playback& playback, ByteReader body) {
  auto index = body.read<std::uint32_t>();
  if (!index) return;
  std::optional<LOGFONTW> logfont = read_logfont(body);
  if (!logfont) return;
  playback.store_object(*index, create_font(*logfont));
}

}  // namespace

void register_text_handlers(HandlerTable& table) {
  table.add(EMR_EXTCREATEFONTINDIRECTW, on_ext_create_font);
  table.add(EMR_EXTTEXTOUTW, on_ext_text_out_w);
  table.add(EMR_EXTTEXTOUTA, on_ext_text_out_a);
  table.add(EMR_POLYTEXTOUTW, on_poly_text_out_w);
  table.add(EMR_POLYTEXTOUTA, on_poly_text_out_a);
  table.add(EMR_SMALLTEXTOUT, on_small_text_out);
}

}  // namespace velmora::platform
