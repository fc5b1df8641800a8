// Where ferrovane-host looks for the plugin when a command is not given one: beside itself first
// (the tree it was installed or built in), then where the packages and the developers' install
// put it.
#pragma once

#include <string>
#include <vector>

namespace ferrovane::host {

// The files looked at, in order, for the program at `program` run by a user whose home is
// `home` (empty: no home folder). Paths are returned as joined, not normalized.
std::vector<std::string> PluginPlaces(const std::string& program, const std::string& home);

// Whether `path` is an ELF file of the same class and machine as `program`, so that the program
// can load it.
bool SameMachine(const std::string& path, const std::string& program);

// The first of PluginPlaces that the program can load, normalized; empty, with `error` saying
// where it looked, when none can be.
std::string FindPlugin(const std::string& program, const std::string& home, std::string& error);

// This program's own file, from /proc/self/exe; empty when it cannot be read.
std::string ProgramPath();

} // namespace ferrovane::host
