// kernel32's file functions over POSIX descriptors. Failures set the
// thread's last error as kernel32 does; no exception leaves a function.
#include "kernel/file_table.h"
#include "kernel/locale_text.h"

#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

using velmora::platform::OpenFile;

namespace {

constexpr DWORD kSupportedAccess = GENERIC_READ | GENERIC_WRITE;

HANDLE fail_open(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

BOOL fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

DWORD error_from_errno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_FILE_NOT_FOUND;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:  // EACCES, EPERM, EROFS, ETXTBSY and the rest: the file is there but not for us
      return ERROR_ACCESS_DENIED;
  }
}

// Non-blocking, so that a path naming a FIFO or a device cannot hang the
// caller before it is refused as not a regular file.
int open_flags(DWORD access) {
  const bool reads = access & GENERIC_READ;
  const bool writes = access & GENERIC_WRITE;
  const int mode = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
  return mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
}

// Takes ownership of fd: it ends up in the table or closed.
HANDLE register_descriptor(int fd, DWORD access, DWORD share) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail_open(ERROR_ACCESS_DENIED);  // directories and devices are not files to read whole
  }
  std::unique_ptr<OpenFile> file(new (std::nothrow) OpenFile(fd, info.st_dev, info.st_ino, access, share));
  if (!file) {
    ::close(fd);
    return fail_open(ERROR_NOT_ENOUGH_MEMORY);
  }
  const std::optional<void*> handle = velmora::platform::register_open_file(std::move(file));
  return handle ? *handle : fail_open(ERROR_SHARING_VIOLATION);
}

HANDLE create_file(LPCWSTR name, DWORD access, DWORD share, DWORD disposition) {
  if (!name || disposition != OPEN_EXISTING || (access & ~kSupportedAccess)) return fail_open(ERROR_INVALID_PARAMETER);
  const std::optional<std::string> path = velmora::platform::wide_to_narrow(name);
  if (!path || path->empty()) return fail_open(ERROR_FILE_NOT_FOUND);
  const int fd = ::open(path->c_str(), open_flags(access));
  if (fd < 0) return fail_open(error_from_errno(errno));
  return register_descriptor(fd, access, share);
}

// Reads until `size` bytes arrived or the file ended; false on an error.
bool read_fully(int fd, BYTE* buffer, DWORD size, DWORD& done) {
  while (done < size) {
    const ssize_t got = ::read(fd, buffer + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    done += static_cast<DWORD>(got);
  }
  return true;
}

BOOL read_file(HANDLE file_handle, LPVOID buffer, DWORD size, LPDWORD read_count) {
  const std::shared_ptr<OpenFile> file = velmora::platform::lookup_open_file(file_handle);
  if (!file) return fail(ERROR_INVALID_HANDLE);
  if (!(file->access() & GENERIC_READ)) return fail(ERROR_ACCESS_DENIED);
  DWORD done = 0;
  const bool ok = read_fully(file->fd(), static_cast<BYTE*>(buffer), size, done);
  if (read_count) *read_count = done;
  return ok ? TRUE : fail(error_from_errno(errno));
}

}  // namespace

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                          DWORD /*dwFlagsAndAttributes*/, HANDLE /*hTemplateFile*/) {
  try {
    return create_file(lpFileName, dwDesiredAccess, dwShareMode, dwCreationDisposition);
  } catch (...) {
    return fail_open(ERROR_NOT_ENOUGH_MEMORY);
  }
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  const std::shared_ptr<OpenFile> file = velmora::platform::lookup_open_file(hFile);
  struct stat info {};
  if (!file || ::fstat(file->fd(), &info) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  const auto low = static_cast<DWORD>(size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  if (low == INVALID_FILE_SIZE) SetLastError(ERROR_SUCCESS);  // a real size, told apart from a failure
  return low;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead > 0)) return fail(ERROR_INVALID_PARAMETER);
  return read_file(hFile, lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead);
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  return velmora::platform::close_open_file(hObject) ? TRUE : fail(ERROR_INVALID_HANDLE);
}
