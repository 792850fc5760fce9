#include "title.h"

#include <cwchar>

namespace velmora::viewer {
namespace {

constexpr WCHAR kEllipsis = 0x2026;
constexpr int kFileNameLimit = 260;  // the document's buffer

}  // namespace

void FormatTitle(WCHAR (&title)[kTitleChars], const WCHAR* file_name, int milliseconds) {
  WCHAR time[32];
  const int time_length = swprintf(time, 32, L" [%d ms]", milliseconds);
  const int room = kTitleChars - 1 - time_length;
  const int name_length = static_cast<int>(wcsnlen(file_name, kFileNameLimit));
  if (name_length <= room) {
    swprintf(title, kTitleChars, L"%ls [%d ms]", file_name, milliseconds);
    return;
  }
  const WCHAR* tail = file_name + name_length - (room - 1);
  swprintf(title, kTitleChars, L"%lc%.*ls%ls", static_cast<wint_t>(kEllipsis), room - 1, tail, time);
}

}  // namespace velmora::viewer
