// Velmora: draws Windows metafiles (WMF and EMF) with anti-aliasing.
//
// Every function returns 1 on success and 0 on failure, keeps no state
// between calls and never deletes a picture it was given.
#pragma once

#include <windows.h>

#if defined(_WIN32)
#if defined(VELMORA_BUILDING_LIBRARY)
#define VELMORA_API __declspec(dllexport)
#else
#define VELMORA_API __declspec(dllimport)
#endif
#else
#define VELMORA_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#else
#include <stdbool.h>
#endif

// Draws `hemf` into `rect` of `dc` (right and bottom inclusive). Drawn pixels
// get the opacity `alphaKey`; the rest of the target keeps its pixels.
// `angle` turns the picture counter-clockwise, in radians, about the centre
// of the rectangle; the crop window selects a part of the picture, in
// fractions of its width and height.
VELMORA_API int Velmora(HDC dc, HENHMETAFILE hemf, RECT* rect, unsigned char alphaKey, double angle, double cropLeft,
                        double cropTop, double cropRight, double cropBottom);

// Draws the metafile file at `path` (placeable WMF, EMF or plain WMF, told
// apart by content) into `rect` of `dc`, the whole picture, with `alphaKey`
// and `angle` as for Velmora. With `fitAspect` the picture is drawn into the
// largest part of `rect` with the picture's aspect ratio that shares its
// top-left corner. `rect` itself is never written.
VELMORA_API int VelmoraFileW(HDC dc, const wchar_t* path, RECT* rect, unsigned char alphaKey, bool fitAspect,
                             double angle);

// VelmoraFileW for a narrow path in the process's code page.
VELMORA_API int VelmoraFile(HDC dc, const char* path, RECT* rect, unsigned char alphaKey, bool fitAspect,
                            double angle);

#ifdef __cplusplus
}
#endif
