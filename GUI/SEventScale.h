// The pointer's position an X event reports, taken into the layout's pixels of a window drawn
// at a scale (SControl::Scale): the dispatcher hands its handlers events of that kind. Positions
// on the root window stay the screen's. Free of Xlib: it names the event as XHandles.h does.
#pragma once

#include "XHandles.h"

namespace zell::gui {

// The window position of a key, button, motion or crossing event divided by the scale, rounded
// down (a pointer left of the window stays left of it); other events are left alone.
void ScaleEventDown(_XEvent* event, int scale);

} // namespace zell::gui
