// The names an LV2 host and the plugin share: the plugin's and its UI's URIs, the keys of its saved
// state and its ports, in the order the plugin's description gives them (ferrovane.ttl.in).
#pragma once

#include <cstdint>

namespace ferrovane::lv2 {

#define FERROVANE_LV2_URI "https://www.ferrovane.org/lv2/ferrovane"
constexpr const char* kPluginUri = FERROVANE_LV2_URI;
constexpr const char* kUiUri = FERROVANE_LV2_URI "#ui";
// The bank, byte for byte the VST 2.x bank chunk (an atom:Chunk), and the current program, 1 to
// 128 (an atom:Int).
constexpr const char* kBankKey = FERROVANE_LV2_URI "#bank";
constexpr const char* kProgramKey = FERROVANE_LV2_URI "#program";
#undef FERROVANE_LV2_URI

enum Port : uint32_t {
    kMidiIn = 0,
    kMidiOut = 1,
    kFirstParameter = 2, // the five parameters in their order: Reset, Clear and the options
    kProgram = 7,        // 1 to 128
    kNotify = 8,         // state:StateChanged when the user edits what only the bank holds
    kPortCount = 9,
};

// The port symbols, by port index.
constexpr const char* kPortSymbols[kPortCount] = {
    "midi_in", "midi_out",  "reset",   "clear",  "preset_change",
    "grid",    "highlight", "program", "notify",
};

} // namespace ferrovane::lv2
