// What the bitmap records share: the source-bitmap fields that most of them
// carry, decoding the DIB they embed, and turning logical rectangles into
// device placements for the blits of raster/blit.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/byte_reader.h"
#include "raster/blit.h"
#include "dib/dib_decoder.h"
#include "gdi/dc.h"

namespace velmora::platform {

// Where a record keeps a DIB: byte offsets from the start of the record
// (its type and size fields included), as MS-EMF gives them.
struct RecordDib {
  std::uint32_t off_bmi = 0;
  std::uint32_t cb_bmi = 0;
  std::uint32_t off_bits = 0;
  std::uint32_t cb_bits = 0;
  DWORD usage = DIB_RGB_COLORS;

  bool present() const { return cb_bmi != 0; }
};

// The source fields of BITBLT, STRETCHBLT, MASKBLT, PLGBLT, TRANSPARENTBLT
// and ALPHABLEND, from xformSrc to cbBitsSrc.
struct SourceFields {
  XFORM xform{1, 0, 0, 1, 0, 0};  // the source DC's logical to device (bitmap pixel) transform
  COLORREF bk_color = 0;
  RecordDib dib;
};

std::optional<SourceFields> read_source_fields(ByteReader& body);
// offBmi, cbBmi, offBits, cbBits (in that order), after the usage has been read elsewhere.
std::optional<RecordDib> read_dib_offsets(ByteReader& body, DWORD usage);

// Decodes a record's DIB; `body` is the record after its type and size. A
// DIB_PAL_COLORS colour table indexes `palette` (the context's selected
// palette) when one is given, else the default palette.
std::optional<Image32> decode_record_dib(const ByteReader& body, const RecordDib& dib,
                                         MonoMapping mono = MonoMapping::ColorTable,
                                         const std::vector<PALETTEENTRY>* palette = nullptr);

// The entries of the palette selected into the context; null for the
// default one.
const std::vector<PALETTEENTRY>* selected_palette(const DeviceContext& dc);

// The header of a record's DIB alone, without decoding its bits.
std::optional<DibHeader> record_dib_header(const ByteReader& body, const RecordDib& dib);

// The device placement of a logical rectangle (x, y, cx, cy): axis-aligned
// when the context's transform keeps axes, affine otherwise.
Placement place_logical_rect(const DeviceContext& dc, int x, int y, int cx, int cy);

// A source rectangle given in the source DC's logical units, through xformSrc,
// with positive extents; `mirrored` reports axes whose extents were negative.
struct MappedSource {
  BlitSource source;
  bool mirror_x = false;
  bool mirror_y = false;
};
std::optional<MappedSource> map_source_rect(const Image32* image, const XFORM& xform, int x, int y, int cx, int cy);

// Mirrors a placement along the axes a negative source extent asked for.
Placement mirrored(const Placement& placement, bool mirror_x, bool mirror_y);

}  // namespace velmora::platform

namespace velmora::platform {

class HandlerTable;
// MASKBLT, PLGBLT, TRANSPARENTBLT, ALPHABLEND and GRADIENTFILL; called by
// register_bitmap_handlers.
void register_blend_handlers(HandlerTable& table);

}  // namespace velmora::platform
