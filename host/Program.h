// ferrovane-host as a whole: which commands and options it has, and how it answers its command
// line. The program's main only hands this its arguments.
#pragma once

#include "CommandLine.h"

#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace ferrovane::host {

// The commands, in the order the usage shows them.
std::span<const CommandSpec* const> ProgramCommands();
// The options given in place of a command (--help, --version).
std::vector<OptionSpec> ProgramOptions();

// Every command with its operands and options, and the notes under each.
void PrintUsage(FILE* to);

// Runs the command line `args` (without the program's name); answers the exit status. Wrong
// arguments print the usage on stderr and answer 2.
int RunProgram(const std::vector<std::string>& args);

} // namespace ferrovane::host
