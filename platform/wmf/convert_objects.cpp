// Pens, solid and hatched brushes, and the selection and deletion
// of table objects. Every creating record takes a slot, even one that cannot
// be read or has no EMF form, so that later slot numbers stay in step with
// the WMF's own table.
#include "wmf/convert_objects.h"

#include "wmf/wmf_records.h"

namespace velmora::platform::wmf {

std::optional<std::uint16_t> add_object(Conversion& c, WmfObject object) {
  const auto slot = c.objects().add(std::move(object));
  if (slot) c.use_object_index(ObjectTable::emf_index(*slot));
  return slot;
}

void add_unused_object(Conversion& c) { add_object(c, WmfObject{}); }

namespace {

// LogPen16 (MS-WMF 2.2.1.3): style, width as a POINTS (y unused), colour.
void convert_create_pen(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto style = params.read<std::uint16_t>();
  const auto width = params.read<std::int16_t>();
  const auto unused = params.read<std::int16_t>();
  const auto color = params.read<std::uint32_t>();
  if (!style || !width || !unused || !color) return add_unused_object(c);
  const auto slot = add_object(c, WmfObject{ObjectKind::Pen});
  if (!slot) return;
  EmfRecord pen(EMR_CREATEPEN);
  pen.u32(ObjectTable::emf_index(*slot)).u32(*style).i32(*width).i32(0).u32(c.color(*color));
  c.emit(std::move(pen));
}

// LogBrush16 (MS-WMF 2.2.1.1): style, colour, hatch. The pattern styles
// need a bitmap this record cannot carry; they are drawn in the solid colour.
void convert_create_brush(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto style = params.read<std::uint16_t>();
  const auto color = params.read<std::uint32_t>();
  const auto hatch = params.read<std::uint16_t>();
  if (!style || !color || !hatch) return add_unused_object(c);
  const auto slot = add_object(c, WmfObject{ObjectKind::Brush});
  if (!slot) return;
  const bool plain = *style == BS_SOLID || *style == BS_NULL || *style == BS_HATCHED;
  EmfRecord brush(EMR_CREATEBRUSHINDIRECT);
  brush.u32(ObjectTable::emf_index(*slot)).u32(plain ? *style : BS_SOLID).u32(c.color(*color)).u32(*hatch);
  c.emit(std::move(brush));
}

// Bitmaps as table objects are obsolete; their slots are held all the same.
void convert_unused_object(const WmfRecord&, Conversion& c) { add_unused_object(c); }

void convert_select(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto slot = params.read<std::uint16_t>();
  if (!slot) return;
  const WmfObject* object = c.objects().find(*slot);
  if (!object) return;
  switch (object->kind) {
    case ObjectKind::Pen:
    case ObjectKind::Brush:
      break;
    case ObjectKind::Font:
      c.select_font(*object);
      break;
    case ObjectKind::Region:
      select_clip_region(*object, c);  // SelectObject on a region sets the clip
      return;
    case ObjectKind::Palette:
    case ObjectKind::Unused:
      return;
  }
  c.emit(std::move(EmfRecord(EMR_SELECTOBJECT).u32(ObjectTable::emf_index(*slot))));
}

void convert_delete(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto slot = params.read<std::uint16_t>();
  if (!slot) return;
  const WmfObject* object = c.objects().find(*slot);
  if (!object) return;
  const bool emitted = object->kind == ObjectKind::Pen || object->kind == ObjectKind::Brush ||
                       object->kind == ObjectKind::Font;
  if (emitted) c.emit(std::move(EmfRecord(EMR_DELETEOBJECT).u32(ObjectTable::emf_index(*slot))));
  c.objects().remove(*slot);
}

constexpr ConverterEntry kConverters[] = {
    {META_CREATEPENINDIRECT, convert_create_pen},
    {META_CREATEBRUSHINDIRECT, convert_create_brush},
    {META_CREATEFONTINDIRECT, convert_create_font},
    {META_DIBCREATEPATTERNBRUSH, convert_dib_pattern_brush},
    {META_CREATEPATTERNBRUSH, convert_bitmap16_pattern_brush},
    {META_CREATEREGION, convert_create_region},
    {META_CREATEBITMAP, convert_unused_object},
    {META_CREATEBITMAPINDIRECT, convert_unused_object},
    {META_CREATEBRUSH, convert_unused_object},
    {META_SELECTOBJECT, convert_select},
    {META_DELETEOBJECT, convert_delete},
};

}  // namespace

std::span<const ConverterEntry> object_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
