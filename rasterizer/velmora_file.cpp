// The file entry points: read a metafile file whole, identify it, fit the
// target to its aspect ratio when asked, and draw it with the core.
//
// Every resource of a call has a scoped owner, so each way out (a failure
// result or an allocation failure) closes the file, deletes the picture and
// releases the buffers. Exceptions stop here: callers expect 0 for failure.
#include "fit_rect.h"
#include "identify.h"
#include "velmora.h"

#include <cstring>
#include <memory>

namespace {

class ScopedFile {
 public:
  explicit ScopedFile(HANDLE handle) : handle_(handle) {}
  ~ScopedFile() { close(); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void close() {
    if (is_open()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

class ScopedPicture {
 public:
  explicit ScopedPicture(HENHMETAFILE picture) : picture_(picture) {}
  ~ScopedPicture() {
    if (picture_) DeleteEnhMetaFile(picture_);
  }
  ScopedPicture(const ScopedPicture&) = delete;
  ScopedPicture& operator=(const ScopedPicture&) = delete;

  HENHMETAFILE get() const { return picture_; }

 private:
  HENHMETAFILE picture_;
};

struct FileBytes {
  std::unique_ptr<BYTE[]> data;
  DWORD size = 0;
};

// The whole file in one read; no data when its size cannot be told, is
// 4 GiB or more (sizes are 32-bit), or the read comes up short.
FileBytes read_whole_file(HANDLE file) {
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  if (size == INVALID_FILE_SIZE || high != 0) return {};
  FileBytes bytes{std::make_unique_for_overwrite<BYTE[]>(size), size};
  DWORD read = 0;
  if (!ReadFile(file, bytes.data.get(), size, &read, nullptr) || read != size) return {};
  return bytes;
}

// Owners are declared in acquisition order, so they release in reverse:
// picture first, then the buffer; the file is closed before the core runs.
int draw_file(HDC dc, const wchar_t* path, const RECT& rect, unsigned char alpha_key, bool fit_aspect, double angle) {
  ScopedFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.is_open()) return 0;
  const FileBytes bytes = read_whole_file(file.get());
  if (!bytes.data) return 0;
  const velmora::IdentifiedMetafile identified = velmora::IdentifyMetafile(bytes.data.get(), bytes.size);
  const ScopedPicture picture(identified.picture);
  file.close();

  RECT target = fit_aspect ? velmora::FitToAspect(rect, identified.aspect) : rect;
  return Velmora(dc, picture.get(), &target, alpha_key, angle, 0.0, 0.0, 1.0, 1.0);
}

}  // namespace

VELMORA_API int VelmoraFileW(HDC dc, const wchar_t* path, RECT* rect, unsigned char alphaKey, bool fitAspect,
                             double angle) {
  if (!dc || !path || !rect) return 0;
  try {
    return draw_file(dc, path, *rect, alphaKey, fitAspect, angle);
  } catch (...) {
    return 0;
  }
}

VELMORA_API int VelmoraFile(HDC dc, const char* path, RECT* rect, unsigned char alphaKey, bool fitAspect,
                            double angle) {
  if (!dc || !path || !rect) return 0;
  try {
    // One wide character per byte at most, so strlen + 1 always holds the path.
    const auto wide = std::make_unique_for_overwrite<WCHAR[]>(std::strlen(path) + 1);
    wsprintfW(wide.get(), L"%S", path);
    return VelmoraFileW(dc, wide.get(), rect, alphaKey, fitAspect, angle);
  } catch (...) {
    return 0;
  }
}
