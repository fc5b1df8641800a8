#pragma once

#include "CommandLine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ferrovane::host {

// One line on standard error; the answer is the program's exit code.
inline int Fail(const std::string& error) {
    fprintf(stderr, "ferrovane-host: %s\n", error.c_str());
    return 1;
}

// The program's commands. Each one's `run` answers the exit status: 0, 1 when it failed, 2 when
// its arguments were wrong (after saying why on stderr).

// Prints what a host's scanner sees of the plugin.
int InfoCommand(const std::vector<std::string>& args);
extern const CommandSpec kInfoCommand;
// Plays a MIDI file through the plugin and writes what it sends back.
int RouteCommand(const std::vector<std::string>& args);
extern const CommandSpec kRouteCommand;
// Shows the plugin's editor until its window is closed; loads and saves the bank around it.
int EditCommand(const std::vector<std::string>& args);
extern const CommandSpec kEditCommand;
// Runs the plugin as a JACK client with its editor until stopped; keeps the bank in a file.
int LiveCommand(const std::vector<std::string>& args);
extern const CommandSpec kLiveCommand;

} // namespace ferrovane::host
