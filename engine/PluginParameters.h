// The plugin's parameter indices: the five the host sees, and two more the editor sends.
#pragma once

namespace ferrovane {

enum PluginParameter : int {
    kParamReset = 0,           // action: the current program routes channel n to channel n
    kParamClear = 1,           // action: the current program routes nothing
    kParamPresetSwitching = 2, // option: program changes select programs
    kParamGrid = 3,            // option: grid lines on the matrix
    kParamHighlight = 4,       // option: the row and column under the pointer
    kNumParams = 5,            // the host sees these
    kParamEditNode = 6,        // editor: silence the notes of the edit node
    kParamConnection = 7,      // editor: the same, for a node the matrix (dis)connected
};

} // namespace ferrovane
