#include "CommandLine.h"

#include "Commands.h"
#include "HomeFolder.h"
#include "PluginSearch.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

namespace ferrovane::host {

namespace {

// The number of words in the command's operands.
size_t OperandCount(const CommandSpec& spec) {
    std::istringstream words(spec.operands);
    return static_cast<size_t>(std::distance(std::istream_iterator<std::string>(words),
                                             std::istream_iterator<std::string>()));
}

} // namespace

bool Arguments::Has(const std::string& name) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& option) { return option.first == name; });
}

std::string Arguments::Value(const std::string& name, const std::string& otherwise) const {
    for (auto option = options.rbegin(); option != options.rend(); ++option)
        if (option->first == name) return option->second;
    return otherwise;
}

std::vector<std::string> Arguments::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& [given, value] : options)
        if (given == name) values.push_back(value);
    return values;
}

bool SplitArguments(const CommandSpec& spec, const std::vector<std::string>& args, Arguments& out,
                    std::string& error) {
    out = {};
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            positional.push_back(a);
            continue;
        }
        const auto option = std::find_if(spec.options.begin(), spec.options.end(),
                                         [&](const OptionSpec& o) { return a == o.name; });
        if (option == spec.options.end()) {
            error = "no option " + a;
            return false;
        }
        if (option->value && i + 1 >= args.size()) {
            error = a + " needs " + option->value;
            return false;
        }
        out.options.emplace_back(a, option->value ? args[++i] : std::string());
    }
    const size_t operands = OperandCount(spec);
    if (positional.size() != operands && positional.size() != operands + 1) {
        error = std::string("takes [PLUGIN]") + (operands ? " " : "") + spec.operands;
        return false;
    }
    if (positional.size() > operands) {
        out.plugin = positional.front();
        positional.erase(positional.begin());
    }
    out.operands = std::move(positional);
    return true;
}

int BadArguments(const CommandSpec& spec, const std::string& error) {
    fprintf(stderr, "ferrovane-host %s: %s\n", spec.name, error.c_str());
    return 2;
}

int ReadArguments(const CommandSpec& spec, const std::vector<std::string>& args, Arguments& out) {
    std::string error;
    if (!SplitArguments(spec, args, out, error)) return BadArguments(spec, error);
    if (!out.plugin.empty()) return 0;
    out.plugin = FindPlugin(ProgramPath(), HomeFolder(), error);
    if (out.plugin.empty()) return Fail(error);
    fprintf(stderr, "ferrovane-host: plugin %s\n", out.plugin.c_str());
    return 0;
}

} // namespace ferrovane::host
