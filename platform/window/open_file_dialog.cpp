// GetOpenFileNameW: the request read from its OPENFILENAMEW, the question
// put to the back end, and the answer checked before anything is written:
// the default extension added to a name without one, an answer that must
// exist and does not is asked again, and a path or file title that does not
// fit its buffer (nMaxFile, nMaxFileTitle, the null included) is refused
// with FNERR_BUFFERTOOSMALL, both buffers left as they were.
#include "window/backend.h"

#include <string>

namespace velmora::window {
namespace {

thread_local DWORD last_error = 0;

// The caller's filter list ends with an empty string; no real list is longer.
constexpr std::size_t kMaxFilterUnits = 32768;
// Answers that name no existing file are asked again this often at most.
constexpr int kMaxAttempts = 16;

BOOL fail(DWORD error) {
  last_error = error;
  return FALSE;
}

std::vector<std::wstring> split_patterns(const std::wstring& patterns) {
  std::vector<std::wstring> list;
  std::size_t start = 0;
  for (std::size_t end; (end = patterns.find(L';', start)) != std::wstring::npos; start = end + 1)
    list.push_back(patterns.substr(start, end - start));
  list.push_back(patterns.substr(start));
  return list;
}

std::vector<FileFilter> read_filters(LPCWSTR list) {
  std::vector<FileFilter> filters;
  if (!list) return filters;
  std::size_t used = 0;
  while (*list && used < kMaxFilterUnits) {
    FileFilter f;
    f.name = list;
    list += f.name.size() + 1;
    const std::wstring patterns = list;
    list += patterns.size() + 1;
    used += f.name.size() + patterns.size() + 2;
    f.patterns = split_patterns(patterns);
    filters.push_back(std::move(f));
  }
  return filters;
}

std::size_t name_offset(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? 0 : slash + 1;
}

std::size_t extension_offset(const std::wstring& path) {
  const std::size_t dot = path.find_last_of(L'.');
  return dot == std::wstring::npos || dot < name_offset(path) ? path.size() : dot + 1;
}

std::wstring with_default_extension(std::wstring path, LPCWSTR extension) {
  if (extension && *extension && extension_offset(path) == path.size()) path += L"." + std::wstring(extension);
  return path;
}

// Only a name that is certainly absent counts as missing: a file held open
// without sharing, or one we may not read, still exists.
bool exists(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return true;
  }
  return GetLastError() != ERROR_FILE_NOT_FOUND;
}

void copy_terminated(const std::wstring& text, LPWSTR out) {
  std::copy(text.begin(), text.end(), out);
  out[text.size()] = 0;
}

BOOL deliver(OPENFILENAMEW& ofn, const std::wstring& path) {
  const std::wstring title = path.substr(name_offset(path));
  if (path.size() + 1 > ofn.nMaxFile) return fail(FNERR_BUFFERTOOSMALL);
  if (ofn.lpstrFileTitle && title.size() + 1 > ofn.nMaxFileTitle) return fail(FNERR_BUFFERTOOSMALL);
  copy_terminated(path, ofn.lpstrFile);
  if (ofn.lpstrFileTitle) copy_terminated(title, ofn.lpstrFileTitle);
  ofn.nFileOffset = static_cast<WORD>(std::min<std::size_t>(name_offset(path), 0xFFFF));
  ofn.nFileExtension = static_cast<WORD>(std::min<std::size_t>(extension_offset(path), 0xFFFF));
  last_error = 0;
  return TRUE;
}

BOOL open_file_name(OPENFILENAMEW& ofn) {
  if (ofn.lStructSize != sizeof(OPENFILENAMEW)) return fail(CDERR_STRUCTSIZE);
  if (!ofn.lpstrFile || ofn.nMaxFile == 0) return fail(CDERR_INITIALIZATION);
  OpenFileQuestion question{&ofn, ofn.hwndOwner, ofn.lpstrTitle ? ofn.lpstrTitle : L"Open",
                            read_filters(ofn.lpstrFilter)};
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::optional<std::wstring> answer = backend().ask_open_file(question);
    if (!answer || answer->empty()) return fail(0);  // cancelled
    const std::wstring path = with_default_extension(*answer, ofn.lpstrDefExt);
    if ((ofn.Flags & OFN_FILEMUSTEXIST) && !exists(path)) continue;
    return deliver(ofn, path);
  }
  return fail(0);
}

}  // namespace
}  // namespace velmora::window

BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW lpofn) {
  using namespace velmora::window;
  if (!lpofn) return fail(CDERR_INITIALIZATION);
  try {
    return open_file_name(*lpofn);
  } catch (...) {
    return fail(CDERR_INITIALIZATION);
  }
}

DWORD WINAPI CommDlgExtendedError(void) { return velmora::window::last_error; }
