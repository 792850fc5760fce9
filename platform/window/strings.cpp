// LoadStringW: string tables hold their strings in blocks of 16, block
// n + 1 holding the ids 16n to 16n + 15.
#include "window/module_resources.h"

#include <algorithm>

using namespace velmora::window;

// Copies at most cchBufferMax - 1 characters and the null; returns the
// count copied, 0 when there is no such string.
int WINAPI LoadStringW(HINSTANCE /*hInstance*/, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) return 0;
  try {
    const std::span<const std::uint8_t> block = resource_bytes(MAKEINTRESOURCEW(uID / 16 + 1), RT_STRING);
    std::optional<std::wstring> text = read_table_string(velmora::platform::ByteReader(block), uID % 16);
    const std::size_t n = text ? std::min(text->size(), static_cast<std::size_t>(cchBufferMax - 1)) : 0;
    if (text) std::copy_n(text->begin(), n, lpBuffer);
    lpBuffer[n] = 0;
    return static_cast<int>(n);
  } catch (...) {
    lpBuffer[0] = 0;
    return 0;
  }
}
