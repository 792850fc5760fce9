// Every bound the platform puts on what a metafile may ask for, each with
// why. They are checked before anything is allocated or looped over: a
// record that asks for more fails, or, where the line says so, is cut down
// or drawn more simply. The work of reading and playing a picture so grows
// with its bytes and the pixels it draws, never with what its fields claim.
//
// The core's own bounds (kMaxTargetSide, kMaxBitmapBytes and
// kMaxPlaybackCoordinate) are in rasterizer/capture_geometry.h: the core
// builds against the real Windows headers, without this platform.
//
// Hatch and pattern brushes need no bound of their own: they are sampled per
// device pixel of the clipped fill, so they cost what the pixels cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace velmora::platform::limits {

// --- Pictures and records ---------------------------------------------------

// Offsets are held as 32 bits, as the format's own nBytes field is.
inline constexpr std::size_t kMaxMetafileBytes = std::numeric_limits<std::uint32_t>::max();
// EMF records: the largest real pictures hold tens of thousands, and this
// bounds the index, made before the first record plays, at 48 MiB.
inline constexpr std::size_t kMaxRecords = std::size_t{1} << 22;
// The same for WMF records, indexed before conversion.
inline constexpr std::size_t kMaxWmfRecords = std::size_t{1} << 22;
// A count field may claim four billion points; the body must hold them
// anyway, so this only stops an allocation the record's size would not back.
inline constexpr std::size_t kMaxRecordPoints = 16'000'000;
// A converted WMF's EMF: a small multiple of a WMF of a few hundred
// megabytes, and below the EMF's 32-bit size field.
inline constexpr std::size_t kMaxConvertedEmfBytes = std::size_t{1} << 30;
// EMR_POLYTEXTOUT strings: each is an EmrText of 40 bytes or more.
inline constexpr std::uint32_t kMaxPolyTextStrings = 0x10000;
// GradientFill vertices (16 bytes each in the record) and shapes.
inline constexpr std::uint32_t kMaxGradientVertices = 1'000'000;
inline constexpr std::uint32_t kMaxGradientShapes = 1'000'000;

// --- Object tables and saved states --------------------------------------------

// EMF object table slots: nHandles is a 16-bit field; larger tables are cut.
inline constexpr std::size_t kMaxObjects = 0x10000;
// WMF slots are 16-bit, and the EMF's nHandles must exceed slot + 1.
inline constexpr std::uint32_t kMaxWmfObjectSlots = 0xFFFE;
// SaveDC nesting: real pictures nest a few levels, each level copies the state.
inline constexpr std::size_t kMaxSaveDepth = 4096;
// WMF conversion tracks this many saved states (deeper ones are still written).
inline constexpr std::size_t kMaxTrackedSaves = 4096;
// LOGPALETTE entries: the count is 16-bit.
inline constexpr std::uint32_t kMaxPaletteEntries = 0x10000;
// A WMF palette: the largest a palette device makes.
inline constexpr std::size_t kMaxWmfPaletteEntries = 1024;

// --- Paths, pens and curves ----------------------------------------------------

// Points in one path (24 bytes each): a picture needs far fewer; the record
// that would pass it fails.
inline constexpr std::size_t kMaxPathVertices = 4'000'000;
// Segments of one arc: enough for a smooth circle, few enough that a huge
// radius cannot exhaust memory.
inline constexpr int kMaxArcSteps = 4096;
// Style entries of a user-styled pen: GDI itself takes at most 16.
inline constexpr std::uint32_t kMaxDashEntries = 16;
// Dashes of one wide stroke inside the surface: a 1-pixel pattern over a
// surface's perimeter many times over; past it the stroke is drawn solid.
inline constexpr std::size_t kMaxDashesPerStroke = std::size_t{1} << 20;
// A region frame's stroke, in pixels: wider looks the same on any surface.
inline constexpr int kMaxFrameStroke = 1 << 16;
// A wide pen, in device pixels: far wider than any surface. A wider pen
// changes only what a path tens of thousands of pixels off the surface
// reaches, while the points of each round join grow with the root of the
// width (a width of 1e9 made millions of edges).
inline constexpr double kMaxPenWidth = 1 << 16;
// Device coordinates of regions, as the platform documents for world and
// page space: region arithmetic stays far from int overflow.
inline constexpr int kMaxDeviceCoordinate = 1 << 27;
// Device coordinates of paths and shapes are clamped here: far beyond any
// surface, and inside int and AGG's 24.8 fixed point after clipping.
inline constexpr double kMaxPathCoordinate = 1 << 26;
// Doubles are clamped here before they are rounded into a LONG of a RECT or
// POINT: far beyond any surface, and the conversion stays defined.
inline constexpr double kMaxLongCoordinate = 1e9;

// --- Regions ---------------------------------------------------------------

// Rectangles a region record may name: four times a 4096 x 4096
// one-pixel checkerboard, and the record holds 16 bytes for each anyway.
inline constexpr std::uint32_t kMaxRegionDataRects = 1u << 24;
// A region's own rectangles (16 bytes each, 64 MiB): past it the detail
// collapses to the bounding box, still a usable clip.
inline constexpr std::size_t kMaxRegionRects = std::size_t{1} << 22;
// Rectangles that are not already in bands are united n log n; past this
// many they give their bounding box instead.
inline constexpr std::size_t kMaxLooseRegionRects = std::size_t{1} << 16;
// Edge-row crossings of a polygon region (each edge once per row it spans):
// real clip paths need a few million; past it the region is the bounding box.
inline constexpr double kMaxPolygonCrossings = 1 << 24;

// --- Bitmaps -------------------------------------------------------------------

// A bitmap's pixel memory: far beyond any capture, and every size
// computation stays inside 32 bits.
inline constexpr std::size_t kMaxBitmapBytes = std::size_t{1} << 30;
// A bitmap's side: keeps width * 4 far from overflow.
inline constexpr int kMaxBitmapSide = 1 << 20;
// Pixels of a decoded DIB (4 bytes each, 256 MiB): an A4 page at 600 dpi
// is 35 M; checked as width * height in 64 bits before decoding.
inline constexpr std::int64_t kMaxDibPixels = std::int64_t{1} << 26;
// A DIB side longer than this is a corrupt header, not a picture.
inline constexpr std::int64_t kMaxDibSide = 1 << 20;
// A DIB header larger than any known one; guards the offsets behind it.
inline constexpr std::uint32_t kMaxDibHeaderBytes = 1024;
// A WMF device-dependent bitmap: larger than any pattern or picture a WMF holds.
inline constexpr std::size_t kMaxBitmap16Bytes = std::size_t{1} << 26;

// --- Text ------------------------------------------------------------------

// Characters of one text record: longer than any real line of text.
inline constexpr std::size_t kMaxGlyphsPerRun = 1 << 16;
// Device pixels per em: below, glyphs are invisible; above, no device could
// show them and their flattened curves would be enormous. Both are skipped.
inline constexpr double kMinDeviceEm = 1.0 / 64;
inline constexpr double kMaxDeviceEm = 1 << 16;
// Outline points of one run: a long string in a complex face stays far below.
inline constexpr unsigned kMaxTextPathVertices = 1u << 22;
// Hinting stops here: above it the grid makes no visible difference.
inline constexpr double kMaxHintedPpem = 1000;
// A two-level glyph bitmap larger than this is not drawn: hinting stops far
// below the em it would take.
inline constexpr long kMaxGlyphBitmapPixels = 1L << 22;
// Open FreeType faces (each keeps its file mapped) and cached font matches:
// a metafile uses a handful of fonts, a hostile one thousands.
inline constexpr std::size_t kMaxOpenFaces = 16;
inline constexpr std::size_t kMaxCachedFontMatches = 256;
// Linked fonts are cached per character; a page of CJK text uses a few thousand.
inline constexpr std::size_t kMaxCachedFontLinks = 8192;

}  // namespace velmora::platform::limits
