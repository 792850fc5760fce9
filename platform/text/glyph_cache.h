// Glyphs as FreeType loads them (hinted at the face's size, or unscaled;
// emboldened when asked), kept so that drawing the same glyph again runs no
// hinting bytecode. Keyed by face, size, glyph, load flags and emboldening;
// shared by every thread, bounded, and forgotten with their face.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace velmora::platform {

// Pixels [x0, x1) of one row that the two-level rasteriser sets, relative to
// the glyph's origin pixel, rows counted down.
struct GlyphPixelRun {
  long y, x0, x1;
};

class LoadedGlyph {
 public:
  // Loads the glyph into the face's slot and keeps a copy; null when
  // FreeType refuses it.
  static std::shared_ptr<const LoadedGlyph> load(FT_Face face, FT_UInt glyph, FT_Int32 flags, bool embolden,
                                                 FT_Pos strength);

  FT_Vector advance() const { return advance_; }
  bool has_outline() const { return has_outline_; }
  // An outline over the kept points; FreeType may read it, not change it.
  FT_Outline outline() const;
  // The outline over a copy of its points, for callers that move them.
  std::vector<FT_Vector> points() const { return points_; }
  FT_Outline outline_over(std::vector<FT_Vector>& points) const;
  // The pixels the two-level rasteriser sets for the outline, worked out on
  // the first call and kept (two-level text draws the same glyph many times);
  // null when it is too large or FreeType refuses it. Call with the face's
  // lock held.
  const std::vector<GlyphPixelRun>* pixel_runs(FT_Library library) const;

 private:
  FT_Vector advance_{};
  bool has_outline_ = false;
  int flags_ = 0;
  std::vector<FT_Vector> points_;
  std::vector<char> tags_;
  std::vector<short> contours_;
  mutable std::once_flag pixels_once_;
  mutable std::optional<std::vector<GlyphPixelRun>> pixels_;
};

// The glyph, from the cache or loaded now (see LoadedGlyph::load). Call with
// the face's lock held (with_face); the result stays valid after it.
std::shared_ptr<const LoadedGlyph> cached_glyph(FT_Face face, FT_UInt glyph, FT_Int32 flags, bool embolden,
                                                FT_Pos strength);

// Drops every glyph of a face that is being closed.
void forget_glyphs(FT_Face face);

// Glyphs kept right now; for tests.
std::size_t cached_glyph_count();

}  // namespace velmora::platform
