// The process's open files, as kernel32 file handles name them. Like the
// Windows kernel, the table enforces share modes: an open is refused while
// another handle of the process holds the same file (same device and inode)
// with an access that the new open does not share, or with a share mode that
// does not allow the new open's access.
//
// Kernel handles live in their own table, apart from the GDI objects; their
// values are 2 modulo 4 and GDI handles are multiples of 4, so a handle of
// one kind is never mistaken for the other.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace velmora::platform {

// An open file descriptor, closed when the last user lets go of it.
class OpenFile {
 public:
  OpenFile(int fd, dev_t device, ino_t inode, std::uint32_t access, std::uint32_t share)
      : fd_(fd), device_(device), inode_(inode), access_(access), share_(share) {}
  ~OpenFile();
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  int fd() const { return fd_; }
  bool is_same_file(const OpenFile& other) const { return device_ == other.device_ && inode_ == other.inode_; }
  std::uint32_t access() const { return access_; }  // GENERIC_READ | GENERIC_WRITE
  std::uint32_t share() const { return share_; }    // FILE_SHARE_*

 private:
  int fd_;
  dev_t device_;
  ino_t inode_;
  std::uint32_t access_;
  std::uint32_t share_;
};

// Registers an open file unless the share modes of the files already open
// forbid it; empty then (the caller closes nothing: the file is closed).
std::optional<void*> register_open_file(std::unique_ptr<OpenFile> file);

// The open file behind a handle, or null. The file stays open while the
// caller holds it, even when another thread closes the handle meanwhile.
std::shared_ptr<OpenFile> lookup_open_file(const void* handle);

// Forgets the handle; false when it is unknown.
bool close_open_file(const void* handle);

}  // namespace velmora::platform
