// The window title after a repaint: "<file name> [<ms> ms]".
#pragma once

#include <windows.h>

namespace velmora::viewer {

constexpr int kTitleChars = 100;  // the terminating null included

// A name too long for the buffer keeps its end, after an ellipsis, so that
// the file name and the whole time stay readable.
void FormatTitle(WCHAR (&title)[kTitleChars], const WCHAR* file_name, int milliseconds);

}  // namespace velmora::viewer
