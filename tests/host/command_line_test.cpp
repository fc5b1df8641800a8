// ferrovane-host's command line: how a command's arguments are split, PLUGIN left out or not, and
// the manual page against the program's own tables: every command, every option it accepts and
// the order the plugin is searched in must be in the page, and nothing the program refuses.
#include "Commands.h"
#include "PluginSearch.h"
#include "Program.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>

namespace ferrovane::host {
namespace {

TEST(SplitArguments, PluginMayBeLeftOutBeforeTheOperands) {
    Arguments a;
    std::string error;
    ASSERT_TRUE(SplitArguments(kRouteCommand,
                               {"--quiet", "p.so", "--connect", "1:2", "in.mid", "--connect", "3:4",
                                "out.mid", "--block", "64", "--block", "128"},
                               a, error))
        << error;
    EXPECT_EQ(a.plugin, "p.so");
    EXPECT_EQ(a.operands, (std::vector<std::string>{"in.mid", "out.mid"}));
    EXPECT_EQ(a.Values("--connect"), (std::vector<std::string>{"1:2", "3:4"}));
    EXPECT_EQ(a.Value("--block"), "128") << "the last one counts";
    EXPECT_TRUE(a.Has("--quiet"));
    EXPECT_EQ(a.Value("--rate", "none"), "none");

    ASSERT_TRUE(SplitArguments(kRouteCommand, {"in.mid", "out.mid"}, a, error)) << error;
    EXPECT_EQ(a.plugin, "");
    EXPECT_EQ(a.operands, (std::vector<std::string>{"in.mid", "out.mid"}));

    // A switch takes no value: the word after it is PLUGIN.
    ASSERT_TRUE(SplitArguments(kLiveCommand, {"--no-editor", "p.so"}, a, error)) << error;
    EXPECT_EQ(a.plugin, "p.so");
    ASSERT_TRUE(SplitArguments(kLiveCommand, {"--no-editor"}, a, error)) << error;
    EXPECT_EQ(a.plugin, "");
    EXPECT_TRUE(a.operands.empty());
}

TEST(SplitArguments, WhatTheCommandDoesNotTakeIsRefused) {
    Arguments a;
    std::string error;
    EXPECT_FALSE(SplitArguments(kRouteCommand, {"in.mid"}, a, error));
    EXPECT_EQ(error, "takes [PLUGIN] IN.mid OUT.mid");
    EXPECT_FALSE(SplitArguments(kRouteCommand, {"p.so", "in.mid", "out.mid", "x"}, a, error));
    EXPECT_FALSE(SplitArguments(kInfoCommand, {"p.so", "q.so"}, a, error));
    EXPECT_EQ(error, "takes [PLUGIN]");
    // Another command's option.
    EXPECT_FALSE(SplitArguments(kEditCommand, {"--no-editor"}, a, error));
    EXPECT_EQ(error, "no option --no-editor");
    EXPECT_FALSE(SplitArguments(kEditCommand, {"p.so", "--seconds"}, a, error));
    EXPECT_EQ(error, "--seconds needs S");
}

// The page as a reader sees its words: each line's macro kept, the font and character escapes
// resolved, and the arguments of the alternating-font macros (.BR, .IR, ...) run together.
std::vector<std::string> PageLines() {
    static const std::set<std::string> kAlternating = {".BI", ".BR", ".IB", ".IR", ".RB", ".RI"};
    std::ifstream file(std::string(FERROVANE_SOURCE_DIR) + "/host/ferrovane-host.1.in");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        for (const auto& [escape, text] :
             std::vector<std::pair<std::string, std::string>>{{"\\-", "-"},
                                                              {"\\e", "\\"},
                                                              {"\\(dq", "\""},
                                                              {"\\fB", ""},
                                                              {"\\fI", ""},
                                                              {"\\fR", ""},
                                                              {"\\fP", ""}})
            for (size_t at; (at = line.find(escape)) != std::string::npos;)
                line.replace(at, escape.size(), text);
        if (!line.empty() && line[0] == '.' && line.find(' ') != std::string::npos) {
            const std::string macro = line.substr(0, line.find(' '));
            const bool alternating = kAlternating.count(macro) > 0;
            std::istringstream rest(line.substr(macro.size()));
            std::string joined, word;
            while (rest >> std::quoted(word))
                joined += (joined.empty() || alternating ? "" : " ") + word;
            line = macro + " " + joined;
        }
        lines.push_back(line);
    }
    return lines;
}

// The lines after the heading that starts with `heading`, up to the next heading of its level
// or above.
std::vector<std::string> Section(const std::vector<std::string>& page, const std::string& heading) {
    const auto start = std::find_if(page.begin(), page.end(), [&](const std::string& line) {
        return line.rfind(heading, 0) == 0;
    });
    if (start == page.end()) return {};
    const bool sub = heading.rfind(".SS", 0) == 0;
    const auto end = std::find_if(start + 1, page.end(), [&](const std::string& line) {
        return line.rfind(".SH", 0) == 0 || (sub && line.rfind(".SS", 0) == 0);
    });
    return {start + 1, end};
}

// The options a section describes: the first word of each tagged paragraph's tag.
std::set<std::string> Described(const std::vector<std::string>& section) {
    std::set<std::string> options;
    for (size_t i = 0; i + 1 < section.size(); ++i)
        if (section[i] == ".TP") {
            std::istringstream tag(section[i + 1]);
            std::string macro, name;
            tag >> macro >> name;
            if (name.rfind("--", 0) == 0) options.insert(name);
        }
    return options;
}

std::set<std::string> Names(std::span<const OptionSpec> options) {
    std::set<std::string> names;
    for (const OptionSpec& option : options)
        names.insert(option.name);
    return names;
}

TEST(ManualPage, DescribesEveryCommandAndExactlyTheOptionsEachTakes) {
    const std::vector<std::string> page = PageLines();
    ASSERT_FALSE(page.empty()) << "no manual page source";
    const std::vector<std::string> synopsis = Section(page, ".SH SYNOPSIS");
    for (const CommandSpec* spec : ProgramCommands()) {
        SCOPED_TRACE(spec->name);
        EXPECT_NE(std::find(synopsis.begin(), synopsis.end(),
                            std::string(".B ferrovane-host ") + spec->name),
                  synopsis.end());
        const std::vector<std::string> section =
            Section(page, std::string(".SS ") + spec->name + " [PLUGIN]");
        ASSERT_FALSE(section.empty()) << "no subsection";
        EXPECT_EQ(Described(section), Names(spec->options));
    }
    const std::vector<OptionSpec> alone = ProgramOptions();
    EXPECT_EQ(Described(Section(page, ".SH OPTIONS")), Names(alone));
}

TEST(ManualPage, ListsThePlacesOfThePluginInTheOrderTheyAreSearched) {
    const std::vector<std::string> section = Section(PageLines(), ".SH FINDING THE PLUGIN");
    std::string text;
    for (const std::string& line : section)
        text += line + "\n";
    size_t after = 0;
    for (const std::string& place : PluginPlaces("DIR/ferrovane-host", "~")) {
        const size_t at = text.find(place, after);
        ASSERT_NE(at, std::string::npos) << place << " is not after the place before it";
        after = at + place.size();
    }
}

} // namespace
} // namespace ferrovane::host
