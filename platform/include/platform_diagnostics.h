// Diagnostics of the platform layer that Windows does not have: a count of
// live objects, so that tests can prove a call released everything it made.
#pragma once

#include "win32/types.h"

// Live, non-stock objects of one OBJ_* type (OBJ_MEMDC counts device contexts).
VELMORA_EXTERN_C VELMORA_PLATFORM_EXPORT size_t VelmoraPlatformLiveObjects(DWORD objectType);
