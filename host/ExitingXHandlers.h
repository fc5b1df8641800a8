// The X error handlers of a host that ends the process on any X error, as GTK2-based hosts do:
// a protocol error on any connection ends it with status 3, the loss of any connection with
// status 4. Process-wide, like every Xlib handler; installed once, before a plugin is loaded.
#pragma once

namespace ferrovane::host {

void InstallExitingXHandlers();

} // namespace ferrovane::host
