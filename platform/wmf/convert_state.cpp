// Mode, colour, mapping and save/restore records: each has an EMF twin,
// except the offset forms, which EMF lacks and which become the absolute
// records of the origin they give.
#include "wmf/conversion.h"
#include "wmf/wmf_records.h"

namespace velmora::platform::wmf {
namespace {

// A record whose one parameter is a 16-bit mode, as an EMF record of one DWORD.
template <std::uint32_t EmfType>
void convert_mode(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto mode = params.read<std::uint16_t>();
  if (mode) c.emit(std::move(EmfRecord(EmfType).u32(*mode)));
}

// A record whose one parameter is a 32-bit value (flags).
template <std::uint32_t EmfType>
void convert_dword(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto value = params.read<std::uint32_t>();
  if (value) c.emit(std::move(EmfRecord(EmfType).u32(*value)));
}

// A record whose one parameter is a COLORREF, palette references resolved.
template <std::uint32_t EmfType>
void convert_color(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto color = params.read<std::uint32_t>();
  if (color) c.emit(std::move(EmfRecord(EmfType).u32(c.color(*color))));
}

void convert_map_mode(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto mode = params.read<std::int16_t>();
  if (!mode) return;
  c.emit(std::move(EmfRecord(EMR_SETMAPMODE).i32(*mode)));
  c.mapping().set_mode(*mode);
}

void emit_window_org(Conversion& c) {
  const POINT org = c.mapping().window_org();
  c.emit(std::move(EmfRecord(EMR_SETWINDOWORGEX).i32(org.x).i32(org.y)));
}

// The point records store y before x.
void convert_window_org(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.mapping().set_window_org((*yx)[1], (*yx)[0]);
  emit_window_org(c);
}

void convert_offset_window_org(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.mapping().offset_window_org((*yx)[1], (*yx)[0]);
  emit_window_org(c);
}

void convert_window_ext(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.emit(std::move(EmfRecord(EMR_SETWINDOWEXTEX).i32((*yx)[1]).i32((*yx)[0])));
  c.mapping().set_window_ext((*yx)[1], (*yx)[0]);
}

// The viewport records carry over unchanged: the converted picture's device
// units stand for the device the WMF was meant for.
void convert_viewport_org(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.emit(std::move(EmfRecord(EMR_SETVIEWPORTORGEX).i32((*yx)[1]).i32((*yx)[0])));
  c.mapping().set_viewport_org((*yx)[1], (*yx)[0]);
}

void convert_offset_viewport_org(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.mapping().offset_viewport_org((*yx)[1], (*yx)[0]);
  const POINT org = c.mapping().viewport_org();
  c.emit(std::move(EmfRecord(EMR_SETVIEWPORTORGEX).i32(org.x).i32(org.y)));
}

void convert_viewport_ext(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.emit(std::move(EmfRecord(EMR_SETVIEWPORTEXTEX).i32((*yx)[1]).i32((*yx)[0])));
  c.mapping().set_viewport_ext((*yx)[1], (*yx)[0]);
}

// ScaleWindowExt: yDenom, yNum, xDenom, xNum (MS-WMF 2.3.5.28).
void convert_scale_window_ext(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto p = read_i16<4>(params);
  if (!p) return;
  c.emit(std::move(EmfRecord(EMR_SCALEWINDOWEXTEX).i32((*p)[3]).i32((*p)[2]).i32((*p)[1]).i32((*p)[0])));
  c.mapping().scale_window_ext((*p)[3], (*p)[2], (*p)[1], (*p)[0]);
}

void convert_scale_viewport_ext(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto p = read_i16<4>(params);
  if (!p) return;
  c.emit(std::move(EmfRecord(EMR_SCALEVIEWPORTEXTEX).i32((*p)[3]).i32((*p)[2]).i32((*p)[1]).i32((*p)[0])));
  c.mapping().scale_viewport_ext((*p)[3], (*p)[2], (*p)[1], (*p)[0]);
}

void convert_save(const WmfRecord&, Conversion& c) {
  c.emit(EmfRecord(EMR_SAVEDC));
  c.save();
}

void convert_restore(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto saved = params.read<std::int16_t>();
  if (!saved) return;
  if (const auto relative = c.restore(*saved)) c.emit(std::move(EmfRecord(EMR_RESTOREDC).i32(*relative)));
}

void convert_text_align(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto align = params.read<std::uint16_t>();
  if (!align) return;
  c.emit(std::move(EmfRecord(EMR_SETTEXTALIGN).u32(*align)));
  c.set_text_align(*align);
}

void convert_char_extra(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  if (const auto extra = params.read<std::int16_t>()) c.set_char_extra(*extra);
}

// SetTextJustification: BreakCount, BreakExtra.
void convert_justification(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  if (const auto p = read_i16<2>(params)) c.set_justification((*p)[1], (*p)[0]);
}

// SetLayout: a 16-bit layout and a reserved word; the EMF form is one DWORD.
void convert_layout(const WmfRecord& record, Conversion& c) { convert_mode<EMR_SETLAYOUT>(record, c); }

constexpr ConverterEntry kConverters[] = {
    {META_SETBKMODE, convert_mode<EMR_SETBKMODE>},
    {META_SETMAPMODE, convert_map_mode},
    {META_SETROP2, convert_mode<EMR_SETROP2>},
    {META_SETPOLYFILLMODE, convert_mode<EMR_SETPOLYFILLMODE>},
    {META_SETSTRETCHBLTMODE, convert_mode<EMR_SETSTRETCHBLTMODE>},
    {META_SETTEXTALIGN, convert_text_align},
    {META_SETTEXTCHAREXTRA, convert_char_extra},
    {META_SETTEXTJUSTIFICATION, convert_justification},
    {META_SETBKCOLOR, convert_color<EMR_SETBKCOLOR>},
    {META_SETTEXTCOLOR, convert_color<EMR_SETTEXTCOLOR>},
    {META_SETMAPPERFLAGS, convert_dword<EMR_SETMAPPERFLAGS>},
    {META_SETLAYOUT, convert_layout},
    {META_SETWINDOWORG, convert_window_org},
    {META_SETWINDOWEXT, convert_window_ext},
    {META_OFFSETWINDOWORG, convert_offset_window_org},
    {META_SCALEWINDOWEXT, convert_scale_window_ext},
    {META_SETVIEWPORTORG, convert_viewport_org},
    {META_SETVIEWPORTEXT, convert_viewport_ext},
    {META_OFFSETVIEWPORTORG, convert_offset_viewport_org},
    {META_SCALEVIEWPORTEXT, convert_scale_viewport_ext},
    {META_SAVEDC, convert_save},
    {META_RESTOREDC, convert_restore},
};

}  // namespace

std::span<const ConverterEntry> state_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
