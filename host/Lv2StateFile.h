// The plugin's bank in LV2 state files: read from any Turtle file that holds the state of our LV2
// plugin (a preset, a state saved by jalv, Ardour or lilv), written as a preset. The bank is the
// state's bytes as they are, the same as the VST 2.x bank chunk; the program counts from 1.
#pragma once

#include <string>
#include <vector>

namespace ferrovane::host {

struct Lv2State {
    std::vector<unsigned char> bank;
    int program = 0;       // 1 to 128; 0 when the state names none
    float options[3] = {}; // preset switching, grid, highlight: the option ports' values
    std::string label;     // the preset's name
};

// A file (.ttl) or a bundle (a folder: its first Turtle file with the state). False with a reason
// when there is none or it holds no bank.
[[nodiscard]] bool ReadLv2State(const std::string& path, Lv2State& state, std::string& error);
// A preset file (.ttl), or a bundle (a folder ending in .lv2) holding the preset and the manifest
// that makes hosts list it. The ports' values go with it.
[[nodiscard]] bool WriteLv2State(const std::string& path, const Lv2State& state,
                                 std::string& error);

} // namespace ferrovane::host
