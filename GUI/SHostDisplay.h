// What the editor's open does with the display the host hands over, and what an instance gives
// back when it goes. Free of X headers: the plugin core calls it.
#pragma once

namespace zell::gui {

class SGlobals;

// On i386 an instance adopts the display its host hands over (its dp), so that hosts which call
// _XEventProc dispatch the editor's events; each instance keeps the one it was given first. A
// display opened before Xlib's thread support was enabled is not adopted: the toolkit's own
// threads (the idle pass) would make requests on it unlocked. A 64-bit address does not survive
// the _XEventProc property, so elsewhere, and without a usable host display, the instance keeps
// to the toolkit's own connection, opened now (to the display the host's names, or to
// "DISPLAY") when the load found no X server. True when the instance has a connection
// afterwards.
[[nodiscard]] bool AdoptHostDisplay(SGlobals* globals, void* hostDisplay);

// Xlib's thread support, asked for before the editor's first X call.
void InitThreads();

// Resizes a window the toolkit did not make (the host's), on the toolkit's connection.
void ResizeHostWindow(unsigned long window, int width, int height);

// When an instance has gone: it gives its host's display back, and the last instance on that
// display frees what the toolkit made on it and forgets it, so that nothing touches it again (a
// host may close it right after). Also, where another library has put its connection-loss
// handler in front of the toolkit's since, the toolkit's code stays loaded.
void ReleaseHostDisplay(SGlobals* globals);

} // namespace zell::gui
