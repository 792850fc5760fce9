// Where the two panes and their pictures go in the client area.
#pragma once

#include <windows.h>

namespace velmora::viewer {

// Below the label line of each pane.
constexpr LONG kLabelHeight = 30;

// Left: from the client's left edge to half its width; right: from one
// pixel after that to the right edge. Halving truncates toward zero.
RECT LeftPane(const RECT& client);
RECT RightPane(const RECT& client);

// A pane without its label line.
RECT BelowLabel(RECT pane);

}  // namespace velmora::viewer
