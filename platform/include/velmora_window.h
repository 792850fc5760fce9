// Services of the window layer that Windows does not have: registering the
// program's compiled resources, naming the back end in use, and the hooks of
// the headless back end through which tests drive a program (input that
// arrives while the message loop waits, answers to the Open dialog, the
// window's pixels).
#pragma once

#include "win32/types.h"
#include "win32/commdlg.h"

#define VELMORA_WINDOW_API VELMORA_EXTERN_C VELMORA_PLATFORM_EXPORT

// The bytes of a .res file: the program's strings, menus, accelerators,
// dialogs and manifest. FALSE when they cannot be read.
VELMORA_WINDOW_API BOOL VelmoraRegisterModuleResources(const BYTE* data, DWORD size);

// "gtk" or "headless". The back end is chosen at the first window call: the
// environment variable VELMORA_WINDOW_BACKEND ("gtk" or "headless") decides,
// and without it a display (DISPLAY or WAYLAND_DISPLAY) means GTK.
VELMORA_WINDOW_API const char* VelmoraWindowBackendName(void);

// Windows, menus and accelerator tables alive; for leak checks in tests.
VELMORA_WINDOW_API size_t VelmoraWindowLiveObjects(void);

// A window's backing store: top-down rows of 32-bit B, G, R, x pixels,
// `width` pixels each with no padding. FALSE for an unknown window or one
// that has not been painted.
VELMORA_WINDOW_API BOOL VelmoraWindowPixels(HWND window, const DWORD** pixels, int* width, int* height);

// Headless: called whenever GetMessageW finds nothing to do, so that the
// caller can post input or look at the windows. Returning FALSE means no
// input will ever come: GetMessageW then ends the loop with WM_QUIT and exit
// code VELMORA_INPUT_EXHAUSTED. Without a hook input is exhausted at once.
#define VELMORA_INPUT_EXHAUSTED 3
typedef BOOL (*VelmoraIdleProc)(void* context);
VELMORA_WINDOW_API void VelmoraHeadlessSetIdle(VelmoraIdleProc proc, void* context);

// Headless: answers GetOpenFileNameW: the chosen path, or null to cancel.
// The string must stay valid until the call returns.
typedef LPCWSTR (*VelmoraOpenFileAnswer)(const OPENFILENAMEW* request, void* context);
VELMORA_WINDOW_API void VelmoraHeadlessSetOpenFileAnswer(VelmoraOpenFileAnswer answer, void* context);
