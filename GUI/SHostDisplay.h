// What the editor's open does with the display the host hands over, and what the last instance
// gives back. Free of X headers: the plugin core calls it.
#pragma once

namespace zell::gui {

// On i386 the toolkit adopts the host's display (the first one given), so that hosts which call
// _XEventProc dispatch the editor's events. A 64-bit address does not survive that property, so
// elsewhere the toolkit keeps to its own connection, and opens it now, to the display the host's
// one names (or to "DISPLAY"), when the load found no X server. True when the toolkit has a
// connection afterwards.
[[nodiscard]] bool AdoptHostDisplay(void* hostDisplay);

// Xlib's thread support, asked for before the editor's first X call.
void InitThreads();

// Resizes a window the toolkit did not make (the host's), on the toolkit's connection.
void ResizeHostWindow(unsigned long window, int width, int height);

// When the last plugin instance has gone: frees what the toolkit made on the host's display and
// forgets it, so that nothing touches it again (a host may close it before it unloads us). The
// next instance adopts the display its host gives.
void ReleaseHostDisplay();

} // namespace zell::gui
