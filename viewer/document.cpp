#include "document.h"

#include "identify.h"

#include <memory>
#include <new>

namespace velmora::viewer {
namespace {

// Owns an open file handle for one load.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (is_open()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

Document& document() {
  static Document instance;
  return instance;
}

void ReleaseDocumentPicture() {
  Document& doc = document();
  if (doc.picture) DeleteEnhMetaFile(doc.picture);
  doc.picture = nullptr;
}

// A file too large for memory is treated as one that cannot be read: the
// buffer is allocated without throwing.
void LoadDocument() {
  Document& doc = document();
  ReleaseDocumentPicture();
  FileHandle file(CreateFileW(doc.file_name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.is_open()) return;
  const DWORD size = GetFileSize(file.get(), nullptr);
  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[size]);
  if (!buffer) return;
  DWORD read = 0;
  if (!ReadFile(file.get(), buffer.get(), size, &read, nullptr) || read != size) return;
  const IdentifiedMetafile identified = IdentifyMetafile(buffer.get(), size);
  doc.picture = identified.picture;
  doc.aspect = identified.aspect;
}

}  // namespace velmora::viewer
