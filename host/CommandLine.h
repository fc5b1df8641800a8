// The grammar of ferrovane-host's command line. Each command describes its operands and options
// once, in a CommandSpec; the parser, the usage text and the manual page's test all read these
// descriptions, so an option exists only where it is described.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

namespace ferrovane::host {

struct OptionSpec {
    const char* name;  // "--bank"
    const char* value; // what the value stands for ("FILE"); null for a switch
    bool repeats;      // each use adds a value; otherwise the last one counts
};

struct CommandSpec {
    const char* name;     // "route"
    const char* operands; // what follows the optional PLUGIN, words separated by spaces
    std::span<const OptionSpec> options;
    const char* notes; // the usage's lines under the command, each ending in '\n'; may be ""
    int (*run)(const std::vector<std::string>& args); // the arguments after the command's name
};

// One command's arguments as its spec reads them.
struct Arguments {
    std::string plugin; // the one given, else the one found
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options; // in the order given; "" for a switch

    bool Has(const std::string& name) const;
    // The value given last, or `otherwise`.
    std::string Value(const std::string& name, const std::string& otherwise = {}) const;
    std::vector<std::string> Values(const std::string& name) const;
};

// Splits `args` as `spec` says. PLUGIN is the operand before the command's own, and may be left
// out; `plugin` then stays empty.
[[nodiscard]] bool SplitArguments(const CommandSpec& spec, const std::vector<std::string>& args,
                                  Arguments& out, std::string& error);

// What a command does first: splits its arguments and, when PLUGIN was left out, finds the plugin
// and says on stderr which one it took. Answers 0, or the exit status after saying what went
// wrong on stderr: 2 for arguments the spec refuses, 1 when no plugin is found.
[[nodiscard]] int ReadArguments(const CommandSpec& spec, const std::vector<std::string>& args,
                                Arguments& out);

// A command's complaint about its arguments, on stderr; the answer is the exit status for it.
int BadArguments(const CommandSpec& spec, const std::string& error);

} // namespace ferrovane::host
