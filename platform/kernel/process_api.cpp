// kernel32's per-thread error code, tick counter and module handle.
#include <windows.h>

#include <chrono>

namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

// The process is the only module there is; its handle is the address of
// this marker, non-null and the same for every caller.
const char process_module = 0;

}  // namespace

DWORD WINAPI GetLastError(void) { return last_error; }

void WINAPI SetLastError(DWORD dwErrCode) { last_error = dwErrCode; }

// Milliseconds since an arbitrary start, wrapping every 49.7 days like the
// platform's counter: only differences are meaningful.
DWORD WINAPI GetTickCount(void) {
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count());
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR /*lpModuleName*/) {
  return reinterpret_cast<HMODULE>(const_cast<char*>(&process_module));
}
