// The desktop's colours (GetSysColor), and what a class background brush
// paints: a system colour index plus 1, or a brush handle.
#pragma once

#include "window/window.h"

#include <optional>

namespace velmora::window {

// Empty for a null or unknown brush: the background is then left alone.
std::optional<COLORREF> brush_color(HBRUSH brush);

// Fills the window's backing store with its class background.
void erase_background(Window& window);

}  // namespace velmora::window
