#include "text/face_cache.h"

#include <list>
#include <mutex>

namespace velmora::platform {
namespace {

// Each open face keeps its file mapped and its tables parsed; metafiles use
// a few faces at a time, so a small bound keeps memory flat without reopening
// files in the common case.
constexpr std::size_t kMaxOpenFaces = 16;

struct OpenFace {
  FontFile file;
  FT_Face face;
};

class FaceCache {
 public:
  static FaceCache& instance() {
    static FaceCache cache;
    return cache;
  }

  bool with_face(const FontFile& file, const std::function<void(FT_Face)>& use) {
    std::lock_guard lock(mutex_);
    FT_Face face = find_or_open(file);
    if (!face) return false;
    use(face);
    return true;
  }

  std::size_t size() {
    std::lock_guard lock(mutex_);
    return faces_.size();
  }

 private:
  FaceCache() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  ~FaceCache() {
    for (OpenFace& open : faces_) FT_Done_Face(open.face);
    if (library_) FT_Done_FreeType(library_);
  }

  // Most recently used first.
  FT_Face find_or_open(const FontFile& file) {
    for (auto it = faces_.begin(); it != faces_.end(); ++it) {
      if (it->file != file) continue;
      faces_.splice(faces_.begin(), faces_, it);
      return it->face;
    }
    FT_Face face = open(file);
    if (!face) return nullptr;
    if (faces_.size() >= kMaxOpenFaces) {
      FT_Done_Face(faces_.back().face);
      faces_.pop_back();
    }
    faces_.push_front({file, face});
    return face;
  }

  FT_Face open(const FontFile& file) {
    if (!library_) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, file.path.c_str(), file.index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
      FT_Done_Face(face);
      return nullptr;
    }
    return face;
  }

  std::mutex mutex_;
  FT_Library library_ = nullptr;
  std::list<OpenFace> faces_;
};

}  // namespace

bool with_face(const FontFile& file, const std::function<void(FT_Face)>& use) {
  return FaceCache::instance().with_face(file, use);
}

std::size_t open_face_count() { return FaceCache::instance().size(); }

}  // namespace velmora::platform
