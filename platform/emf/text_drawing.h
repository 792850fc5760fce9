// Drawing one text output (ExtTextOut, one string of PolyTextOut, or
// SmallTextOut) on a device context: the selected font, the DC's text
// state and transforms go to the layout; its geometry is painted here, with
// the ETO_CLIPPED rectangle narrowing the DC's clip for the call.
#pragma once

#include "emf/text_records.h"
#include "gdi/dc.h"

namespace velmora::platform {

// graphics_mode: GM_COMPATIBLE or GM_ADVANCED, as the record was made in.
void draw_text_out(DeviceContext& dc, const TextOut& text, int graphics_mode);

}  // namespace velmora::platform
