// The clipping records; regions selected as the clip are in convert_regions.
#include "wmf/conversion.h"
#include "wmf/wmf_records.h"

namespace velmora::platform::wmf {
namespace {

// IntersectClipRect and ExcludeClipRect: Bottom, Right, Top, Left.
template <std::uint32_t EmfType>
void convert_clip_rect(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto p = read_i16<4>(params);
  if (!p) return;
  c.emit(std::move(EmfRecord(EmfType).i32((*p)[3]).i32((*p)[2]).i32((*p)[1]).i32((*p)[0])));
}

// OffsetClipRgn: YOffset, XOffset, in logical units.
void convert_offset_clip(const WmfRecord& record, Conversion& c) {
  ByteReader params = record.params;
  const auto yx = read_i16<2>(params);
  if (!yx) return;
  c.emit(std::move(EmfRecord(EMR_OFFSETCLIPRGN).i32((*yx)[1]).i32((*yx)[0])));
}

constexpr ConverterEntry kConverters[] = {
    {META_INTERSECTCLIPRECT, convert_clip_rect<EMR_INTERSECTCLIPRECT>},
    {META_EXCLUDECLIPRECT, convert_clip_rect<EMR_EXCLUDECLIPRECT>},
    {META_OFFSETCLIPRGN, convert_offset_clip},
};

}  // namespace

std::span<const ConverterEntry> clip_converters() { return kConverters; }

}  // namespace velmora::platform::wmf
