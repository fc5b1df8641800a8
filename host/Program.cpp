#include "Program.h"

#include "Commands.h"

#include <sstream>

namespace ferrovane::host {

namespace {

constexpr const CommandSpec* kCommands[] = {&kInfoCommand, &kRouteCommand, &kEditCommand,
                                            &kLiveCommand};

int Help() {
    PrintUsage(stdout);
    return 0;
}

int Version() {
    printf("ferrovane-host %s (%s)\n", FERROVANE_VERSION, FERROVANE_ARCH);
    return 0;
}

struct ProgramOption {
    const char* name;
    int (*run)();
};

constexpr ProgramOption kProgramOptions[] = {{"--help", Help}, {"--version", Version}};

// Where a command's usage goes on after its first line: under "usage: " and six more.
constexpr size_t kIndent = 13;

// Writes `words` after `first`, breaking lines before the width is passed.
void PrintWrapped(FILE* to, const std::string& first, const std::vector<std::string>& words) {
    constexpr size_t kWidth = 96;
    std::string line = first;
    for (const std::string& word : words) {
        if (line.size() + 1 + word.size() > kWidth) {
            fprintf(to, "%s\n", line.c_str());
            line.assign(kIndent - 1, ' ');
        }
        line += " " + word;
    }
    fprintf(to, "%s\n", line.c_str());
}

void PrintCommand(FILE* to, const CommandSpec& spec, const char* lead) {
    std::vector<std::string> words = {spec.name, "[PLUGIN]"};
    if (*spec.operands) words.emplace_back(spec.operands);
    for (const OptionSpec& option : spec.options) {
        std::string word = std::string("[") + option.name;
        if (option.value) word += std::string(" ") + option.value;
        words.push_back(word + (option.repeats ? "]..." : "]"));
    }
    PrintWrapped(to, std::string(lead) + "ferrovane-host", words);
    std::istringstream notes(spec.notes);
    for (std::string note; std::getline(notes, note);)
        fprintf(to, "%*s%s\n", static_cast<int>(kIndent), "", note.c_str());
}

} // namespace

std::span<const CommandSpec* const> ProgramCommands() {
    return kCommands;
}

std::vector<OptionSpec> ProgramOptions() {
    std::vector<OptionSpec> options;
    for (const ProgramOption& option : kProgramOptions)
        options.push_back({option.name, nullptr, false});
    return options;
}

void PrintUsage(FILE* to) {
    const char* lead = "usage: ";
    for (const CommandSpec* spec : kCommands) {
        PrintCommand(to, *spec, lead);
        lead = "       ";
    }
    std::string alone;
    for (const ProgramOption& option : kProgramOptions)
        alone += std::string(alone.empty() ? "" : " | ") + option.name;
    fprintf(to, "       ferrovane-host %s\n", alone.c_str());
    fprintf(to, "PLUGIN left out, a command takes the ferrovane.so installed beside the program\n"
                "(see ferrovane-host(1) for where it looks).\n");
}

int RunProgram(const std::vector<std::string>& args) {
    if (args.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    for (const ProgramOption& option : kProgramOptions)
        if (args[0] == option.name && args.size() == 1) return option.run();
    for (const CommandSpec* spec : kCommands) {
        if (args[0] != spec->name) continue;
        const int status = spec->run({args.begin() + 1, args.end()});
        if (status == 2) PrintUsage(stderr);
        return status;
    }
    const bool option = args[0].rfind("--", 0) == 0;
    fprintf(stderr, "ferrovane-host: no %s %s\n", option ? "option" : "command", args[0].c_str());
    PrintUsage(stderr);
    return 2;
}

} // namespace ferrovane::host
