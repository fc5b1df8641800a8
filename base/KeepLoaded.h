// A shared object whose code another library may still call after our unload stays loaded. A
// host's process holds many plugins and toolkits, each saving and restoring process-wide
// handlers, and they unload in any order: whatever pointer into a library someone keeps must
// stay valid. Marking takes effect at once and only outside an unload: once the loader is
// taking the object down it cannot be held any more.
#pragma once

namespace zell::system {

// Keeps the loaded object that holds this address mapped for the rest of the process. Nothing
// happens for an address outside every loaded object. Safe from any thread.
void KeepLoaded(const void* address);

// The same for the object this code is linked into (the plugin, or a test program).
void KeepOwnObjectLoaded();

} // namespace zell::system
