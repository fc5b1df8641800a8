// The toolkit's X connections: its own (dps) and the displays hosts hand over. This header stays
// free of X headers so that the plugin core can hand the host's display over without seeing
// Xlib.
#pragma once

struct _XDisplay;

namespace zell::gui {

class SGlobals;

// The display opened when the shared object is loaded, or null when that failed. Written by the
// load-time set-up, by OpenToolkitDisplay when the load found no server, and by the unload.
extern _XDisplay* dps;

// The connection the toolkit's X calls on this thread go to: the display of the innermost
// SXRequestScope the thread is in (the work of one instance, or of one event, on its display),
// else dps. Null when there is none (or ours was lost); callers then do nothing.
_XDisplay* ToolkitDisplay();
// True once the server of our own connection has gone away: the editor stays inert.
bool ToolkitConnectionLost();

// The display an instance's controls live on: the host's display it adopted (its dp), else the
// one ToolkitDisplay answers.
_XDisplay* InstanceDisplay(const SGlobals* globals);

// Adopts the host's display for one instance: stores it as the instance's dp unless that is set
// already or display is null; true when it was stored. From then on the errors of the toolkit's
// requests on it never reach the host. Several instances may adopt the same display.
bool SetHostDisplay(SGlobals* globals, void* display);
// The instance gives its display back (the caller has released what the toolkit made on it when
// it is the last instance on it); once no instance holds it the toolkit leaves it untouched.
// Returns the display it was, or null.
_XDisplay* TakeHostDisplay(SGlobals* globals);
// How many instances hold the display now.
int HostDisplayHolders(_XDisplay* display);

// XOpenDisplay that gives up within a second whatever the server does, and asks Xlib at most
// once, so that a refusal is reported once: a server that is there but did not answer this
// connection (its queue of new connections full while a host opens many plugins at once, or
// the connection dropped while it resets after its last client left) is asked again; a refusal
// (authorization, too many clients), no server, or a server that takes the connection and
// never answers is final. The SIGPIPE of a set-up written to a dropped connection never
// reaches the host.
[[nodiscard]] _XDisplay* OpenDisplay(const char* name);

// Opens dps when the load found no X server: to the display called `name`, else to "DISPLAY".
// Called on the host's GUI thread before any toolkit thread uses the connection. True when a
// connection exists afterwards.
[[nodiscard]] bool OpenToolkitDisplay(const char* name);

// A thread of the toolkit that could not be stopped may still read our connection: the unload
// then leaves it open, with everything Xlib keeps for it.
void LeaveToolkitDisplayOpen();
bool ToolkitDisplayLeftOpen();

// Work that must end while the connection and the drawing resources still exist (the toolkit's
// event pump), run first when the shared object is unloaded. At most a few hooks.
void AtToolkitUnload(void (*hook)());
void RunToolkitUnloadHooks();

} // namespace zell::gui
