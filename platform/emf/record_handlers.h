// Each concern of the player registers the records it draws. The player
// builds its table once from all of these.
#pragma once

#include "emf/playback.h"

namespace velmora::platform {

void register_state_handlers(HandlerTable& table);   // mapping, transforms, modes, SaveDC/RestoreDC
void register_object_handlers(HandlerTable& table);  // pens, brushes, palettes; select and delete
void register_shape_handlers(HandlerTable& table);   // lines, polygons, curves, rectangles, ellipses, arcs
void register_path_handlers(HandlerTable& table);    // BeginPath .. WidenPath
void register_clip_handlers(HandlerTable& table);    // clipping records and region painting
void register_text_handlers(HandlerTable& table);    // fonts and text
void register_bitmap_handlers(HandlerTable& table);  // bitmaps, blits, gradients, DIB pattern brushes

}  // namespace velmora::platform
