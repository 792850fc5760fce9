// Plays an enhanced metafile into a device context (PlayEnhMetaFile's work,
// for callers inside the platform).
#pragma once

#include "emf/enh_metafile.h"
#include "gdi/dc.h"

namespace velmora::platform {

// Draws the picture so that its frame fills rect (in the context's logical
// coordinates). False when the picture has no usable frame or the context
// cannot save its state; the context's state is as before either way.
bool play_enh_metafile(DeviceContext& dc, const EnhMetaFile& metafile, const RECT& rect);

}  // namespace velmora::platform
