#pragma once

#include <string>
#include <vector>

namespace ferrovane::host {

// Prints what a host's scanner sees of the plugin.
int InfoCommand(const std::string& path);

} // namespace ferrovane::host
