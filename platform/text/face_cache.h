// The process-wide FreeType state: one library and a bounded set of open
// faces, each opened once per file and reused. FreeType objects are not
// thread-safe, so every use of a face runs inside with_face, under the
// cache's lock; callers copy out what they need (metrics, outlines) and keep
// no FreeType pointer afterwards.
#pragma once

#include "text/font_matcher.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <functional>

namespace velmora::platform {

// Runs use(face) with the face of the file under the cache's lock. False
// when the file cannot be opened as a scalable face (use is not called).
// use may call with_face for another file (a linked font); a face stays
// open while a call uses it.
bool with_face(const FontFile& file, const std::function<void(FT_Face)>& use);

// Faces open right now; for tests of the bound.
std::size_t open_face_count();

}  // namespace velmora::platform
