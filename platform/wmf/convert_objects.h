// The object-creating converters of the several files that make objects,
// and the helpers they share.
#pragma once

#include "wmf/conversion.h"

namespace velmora::platform::wmf {

// Puts an object in the lowest free slot and counts its EMF index in the
// header's nHandles; nothing when the table is full.
std::optional<std::uint16_t> add_object(Conversion& c, WmfObject object);
// Holds a slot for an object that emits nothing.
void add_unused_object(Conversion& c);

void convert_create_font(const WmfRecord& record, Conversion& c);
void convert_dib_pattern_brush(const WmfRecord& record, Conversion& c);
void convert_bitmap16_pattern_brush(const WmfRecord& record, Conversion& c);
void convert_create_region(const WmfRecord& record, Conversion& c);
// Makes a region the clip, as SELECTCLIPREGION and SELECTOBJECT on a region do.
void select_clip_region(const WmfObject& region, Conversion& c);

}  // namespace velmora::platform::wmf
