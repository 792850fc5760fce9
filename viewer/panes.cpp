#include "panes.h"

namespace velmora::viewer {

RECT LeftPane(const RECT& client) { return {client.left, client.top, client.right / 2, client.bottom}; }

RECT RightPane(const RECT& client) { return {client.right / 2 + 1, client.top, client.right, client.bottom}; }

RECT BelowLabel(RECT pane) {
  pane.top += kLabelHeight;
  return pane;
}

}  // namespace velmora::viewer
