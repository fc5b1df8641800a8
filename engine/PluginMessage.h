#pragma once

namespace ferrovane {

// The one way the plugin tells the user something (load refusals, chunks from a newer version).
// Never blocks the caller.
void ShowPluginMessage(const char* text);

} // namespace ferrovane
