// A message box from anywhere in the plugin, also before any editor exists.
#pragma once

struct _XDisplay;

namespace zell::gui {

// Shows the message with its title in the process's one message box, laid out again for each
// call and centred on the display; the box stays until its "OK" is clicked. Returns at once
// and never waits for the box. From a thread other than the one dispatching the box's
// connection (the toolkit's own connection is dispatched by its event pump) the box is shown
// by that dispatcher. Without an X connection nothing is shown. The box is destroyed when the
// toolkit is unloaded.
void SInfo(const char* message, const char* title);

class SMessageDialog;
// The process's message box, or null before the first SInfo; for tests.
SMessageDialog* SInfoDialog();

// Destroys the message box when it lives on that display, which is about to go; the next SInfo
// makes a new one.
void ReleaseToolkitDialogs(_XDisplay* display);

} // namespace zell::gui
