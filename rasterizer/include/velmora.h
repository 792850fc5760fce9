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

#ifdef __cplusplus
}
#endif
