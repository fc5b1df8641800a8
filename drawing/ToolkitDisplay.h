// The process-wide X connections of the toolkit. This header stays free of X headers so that
// the plugin core can hand the host's display over without seeing Xlib.
#pragma once

#include <atomic>

struct _XDisplay;

namespace zell::gui {

// The display the host gives with the editor's first open; written on the host's GUI thread,
// read by every thread that draws.
extern std::atomic<_XDisplay*> dp;
// The display opened when the shared object is loaded, or null when that failed. Written by the
// load-time set-up, by OpenToolkitDisplay when the load found no server, and by the unload.
extern _XDisplay* dps;

// The connection every X call of the toolkit and the drawing layer goes through: dp, else dps.
// Null when there is no connection (or ours was lost); callers then do nothing.
_XDisplay* ToolkitDisplay();
// True once the server of our own connection has gone away: the editor stays inert.
bool ToolkitConnectionLost();

// Stores the host's display as dp unless dp is already set or display is null; true when it
// was stored. From then on the errors of the toolkit's requests on it never reach the host.
bool SetHostDisplay(void* display);
// Clears dp and gives the display back to the host untouched; the caller has released what the
// toolkit made on it. Returns the display it was, or null.
_XDisplay* TakeHostDisplay();

// XOpenDisplay that waits out a server that is there but failed this one connection: its queue
// of new connections momentarily full (a host opening many plugins at once), or the connection
// dropped during the handshake (a server resetting after its last client left). Gives up after
// about a second of that; any other failure (no name, a malformed one, no server there) answers
// null after the one attempt. The SIGPIPE of a set-up written to a dropped connection never
// reaches the host.
[[nodiscard]] _XDisplay* OpenDisplay(const char* name);

// Opens dps when the load found no X server: to the display called `name`, else to "DISPLAY".
// Called on the host's GUI thread before any toolkit thread uses the connection. True when a
// connection exists afterwards.
[[nodiscard]] bool OpenToolkitDisplay(const char* name);

// Work that must end while the connection and the drawing resources still exist (the toolkit's
// event pump), run first when the shared object is unloaded. At most a few hooks.
void AtToolkitUnload(void (*hook)());
void RunToolkitUnloadHooks();

} // namespace zell::gui
