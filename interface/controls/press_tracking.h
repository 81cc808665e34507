// A mouse button held on a control: the control shows its pressed look while the pointer is on it,
// tells the page program when the press begins, leaves, comes back and ends (events 12 to 15), and
// learns whether the button was released on it. Buttons track their whole rectangle; text boxes track
// the area of one link. Windows only.
#pragma once

#include <windows.h>

#include "graphics/graphics_types.h"
#include "interface/element_class.h"
#include "runtime/status.h"

// What is being pressed. Points are in the client area of the native window the press went down on.
struct PressTarget {
  void* context;  // handed back to each routine
  bool (*contains)(void* context, Point point);
  // Shows the pressed look (the pointer is on the target) or the resting one.
  Status (*show)(void* context, bool pressed);
  // Tells the page program: the controls pass the engine's notify. Its answers 0 and -8404 (nothing to
  // veto here) go on; any other answer ends the press.
  Status (*notify)(void* context, int32_t event);
};

// Runs the press of `button` that went down on the target in `window` until that button comes up:
// event 12 and the pressed look first; each time the pointer leaves or comes back, the look follows
// and event 13 or 14 is sent; at the release event 15, then the resting look. The window holds the
// mouse capture meanwhile; losing it (another window took it) ends the press as a release off the
// target. *triggered is set when the button came up on the target.
// Returns 0, or the first failure of `show` or `notify`: the press then ends at once, not triggered,
// with the resting look shown.
Status track_press(HWND window, MouseButton button, const PressTarget& target, bool* triggered);
