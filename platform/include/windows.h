// The Win32 subset that this platform layer provides on systems without
// Windows. Code above the platform includes <windows.h> and compiles
// unchanged against the real header on Windows.
#pragma once

#include "win32/types.h"
#include "win32/gdi.h"
#include "win32/emr.h"
#include "win32/kernel.h"
#include "win32/user.h"
#include "win32/window.h"
#include "win32/commdlg.h"
