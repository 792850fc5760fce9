#include "text/glyph_cache.h"

#include "text/glyph_pixels.h"

#include <mutex>
#include <tuple>
#include <unordered_map>

namespace velmora::platform {
namespace {

// A few pages of text in a few faces and sizes; past this the cache starts
// again, which keeps its memory flat.
constexpr std::size_t kMaxGlyphs = 8192;

struct GlyphKey {
  FT_Face face;
  FT_Fixed x_scale, y_scale;  // the face's size when the glyph is hinted
  FT_UInt glyph;
  FT_Int32 flags;
  bool embolden;
  FT_Pos strength;

  bool operator==(const GlyphKey& o) const {
    return std::tie(face, x_scale, y_scale, glyph, flags, embolden, strength) ==
           std::tie(o.face, o.x_scale, o.y_scale, o.glyph, o.flags, o.embolden, o.strength);
  }
};

struct GlyphKeyHash {
  std::size_t operator()(const GlyphKey& k) const {
    std::size_t h = std::hash<const void*>()(k.face);
    for (long long v : {static_cast<long long>(k.x_scale), static_cast<long long>(k.y_scale),
                        static_cast<long long>(k.glyph), static_cast<long long>(k.flags),
                        static_cast<long long>(k.embolden), static_cast<long long>(k.strength)}) {
      h = h * 1000003u ^ std::hash<long long>()(v);
    }
    return h;
  }
};

class GlyphCache {
 public:
  static GlyphCache& instance() {
    static GlyphCache cache;
    return cache;
  }

  std::shared_ptr<const LoadedGlyph> get(FT_Face face, FT_UInt glyph, FT_Int32 flags, bool embolden, FT_Pos strength) {
    const bool unscaled = (flags & FT_LOAD_NO_SCALE) != 0 || !face->size;
    const GlyphKey key{face, unscaled ? 0 : face->size->metrics.x_scale, unscaled ? 0 : face->size->metrics.y_scale,
                       glyph, flags, embolden, embolden ? strength : 0};
    {
      std::lock_guard lock(mutex_);
      if (auto it = glyphs_.find(key); it != glyphs_.end()) return it->second;
    }
    auto loaded = LoadedGlyph::load(face, glyph, flags, embolden, strength);
    if (!loaded) return nullptr;
    std::lock_guard lock(mutex_);
    if (glyphs_.size() >= kMaxGlyphs) glyphs_.clear();
    glyphs_.emplace(key, loaded);
    return loaded;
  }

  void forget(FT_Face face) {
    std::lock_guard lock(mutex_);
    std::erase_if(glyphs_, [face](const auto& entry) { return entry.first.face == face; });
  }

  std::size_t size() {
    std::lock_guard lock(mutex_);
    return glyphs_.size();
  }

 private:
  std::mutex mutex_;
  std::unordered_map<GlyphKey, std::shared_ptr<const LoadedGlyph>, GlyphKeyHash> glyphs_;
};

}  // namespace

std::shared_ptr<const LoadedGlyph> LoadedGlyph::load(FT_Face face, FT_UInt glyph, FT_Int32 flags, bool embolden,
                                                     FT_Pos strength) {
  if (FT_Load_Glyph(face, glyph, flags) != 0) return nullptr;
  FT_GlyphSlot slot = face->glyph;
  auto kept = std::make_shared<LoadedGlyph>();
  kept->advance_ = slot->advance;
  kept->has_outline_ = slot->format == FT_GLYPH_FORMAT_OUTLINE;
  if (!kept->has_outline_) return kept;
  FT_Outline& outline = slot->outline;
  if (embolden) FT_Outline_Embolden(&outline, strength);
  kept->flags_ = outline.flags;
  kept->points_.assign(outline.points, outline.points + outline.n_points);
  kept->tags_.assign(outline.tags, outline.tags + outline.n_points);
  kept->contours_.assign(outline.contours, outline.contours + outline.n_contours);
  return kept;
}

FT_Outline LoadedGlyph::outline_over(std::vector<FT_Vector>& points) const {
  FT_Outline outline{};
  outline.n_points = static_cast<decltype(outline.n_points)>(points.size());
  outline.n_contours = static_cast<decltype(outline.n_contours)>(contours_.size());
  outline.points = points.data();
  outline.tags = const_cast<char*>(tags_.data());
  outline.contours = const_cast<short*>(contours_.data());
  outline.flags = flags_;
  return outline;
}

const std::vector<GlyphPixelRun>* LoadedGlyph::pixel_runs(FT_Library library) const {
  std::call_once(pixels_once_, [&] { pixels_ = two_level_pixels(library, *this); });
  return pixels_ ? &*pixels_ : nullptr;
}

FT_Outline LoadedGlyph::outline() const { return outline_over(const_cast<std::vector<FT_Vector>&>(points_)); }

std::shared_ptr<const LoadedGlyph> cached_glyph(FT_Face face, FT_UInt glyph, FT_Int32 flags, bool embolden,
                                                FT_Pos strength) {
  return GlyphCache::instance().get(face, glyph, flags, embolden, strength);
}

void forget_glyphs(FT_Face face) { GlyphCache::instance().forget(face); }

std::size_t cached_glyph_count() { return GlyphCache::instance().size(); }

}  // namespace velmora::platform
