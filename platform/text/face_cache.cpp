#include "text/face_cache.h"

#include "common/limits.h"
#include "text/glyph_cache.h"

#include <iterator>
#include <list>
#include <mutex>

namespace velmora::platform {
namespace {

using limits::kMaxOpenFaces;

struct OpenFace {
  FontFile file;
  FT_Face face;
  int users = 0;  // with_face calls running on it: a face in use is never closed
};

class FaceCache {
 public:
  static FaceCache& instance() {
    static FaceCache cache;
    return cache;
  }

  bool with_face(const FontFile& file, const std::function<void(FT_Face)>& use) {
    std::lock_guard lock(mutex_);
    auto open = find_or_open(file);
    if (open == faces_.end()) return false;
    struct InUse {
      int& users;
      explicit InUse(int& u) : users(u) { ++users; }
      ~InUse() { --users; }
    } in_use(open->users);
    use(open->face);
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
    // At exit the glyph cache may be gone already; its copies hold no FreeType objects.
    for (OpenFace& open : faces_) FT_Done_Face(open.face);
    if (library_) FT_Done_FreeType(library_);
  }

  // Most recently used first; end() when the file cannot be opened.
  std::list<OpenFace>::iterator find_or_open(const FontFile& file) {
    for (auto it = faces_.begin(); it != faces_.end(); ++it) {
      if (it->file != file) continue;
      faces_.splice(faces_.begin(), faces_, it);
      return faces_.begin();
    }
    FT_Face face = open(file);
    if (!face) return faces_.end();
    if (faces_.size() >= kMaxOpenFaces) close_least_recent_unused();
    faces_.push_front({file, face});
    return faces_.begin();
  }

  void close_least_recent_unused() {
    for (auto it = faces_.rbegin(); it != faces_.rend(); ++it) {
      if (it->users > 0) continue;
      close(it->face);
      faces_.erase(std::next(it).base());
      return;
    }
  }

  static void close(FT_Face face) {
    forget_glyphs(face);
    FT_Done_Face(face);
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

  // Recursive: a run of text uses its linked faces while it holds its own.
  std::recursive_mutex mutex_;
  FT_Library library_ = nullptr;
  std::list<OpenFace> faces_;
};

}  // namespace

bool with_face(const FontFile& file, const std::function<void(FT_Face)>& use) {
  return FaceCache::instance().with_face(file, use);
}

std::size_t open_face_count() { return FaceCache::instance().size(); }

}  // namespace velmora::platform
