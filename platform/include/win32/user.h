// The user32 subset that the library needs. The window layer of the viewer
// declares its own part beside it.
#pragma once

#include "types.h"

// Formats like the platform's wsprintfW: %s takes a wide string, %S a narrow
// one (converted in the process's locale), plus %d, %u, %x, %c and %%.
// Writes at most 1024 wide characters, the terminating null included.
WINUSERAPI int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
