// The engine as its editor sees it, whatever the format: the current program's record, which the
// editor edits in place (every field with one relaxed store), the parameters, the clipboard and
// the node whose sounding notes an edit silences. The editor may live in another shared object
// than the engine (an LV2 UI reaches its plugin's instance): every call is virtual, so the
// engine's own code runs it. Free of format and X headers.
#pragma once

#include "VSTPluginProgram.h"

#include <cstdint>

namespace ferrovane {

class SIPluginEditor;

class SIEngine {
  public:
    // Bits of TakeUserChanges: state only the saved bank holds, and the parameters (bit i for
    // parameter i).
    static constexpr uint32_t kStateChanged = 1u << 31;
    static constexpr uint32_t kParameterChanges = (1u << 5) - 1;

    virtual ~SIEngine() = default;

    // Editor threads (dispatch and idle).
    virtual VSTPluginProgram& CurrentProgram() = 0;
    virtual void getProgramName(char* text) = 0;
    virtual float getParameter(int32_t index) = 0;
    // Indices 6 and 7 silence the notes of the edit node (see PluginParameters.h).
    virtual void setParameter(int32_t index, float value) = 0;
    virtual void copySelProgram() = 0;
    virtual void pasteSelProgram() = 0;
    // The node whose sounding notes the next edit-node parameter silences; -1 for none.
    virtual void SetEditNode(int in, int out) = 0;

    // The editor the engine tells of its changes, and whether its window is open: the engine
    // posts updates only to an open editor. Once DetachEditor returns, the engine no longer
    // calls that editor (another one attached since stays).
    virtual void AttachEditor(SIPluginEditor* editor) = 0;
    virtual void DetachEditor(SIPluginEditor* editor) = 0;
    virtual void SetEditorClosed(bool closed) = 0;

    // Any editor thread: the user changed a parameter (0 to 4), or state only the saved bank
    // holds. The format module takes them (any thread) and tells the host on a thread of the
    // host's choosing.
    virtual void UserChangedParameter(int32_t index) = 0;
    virtual void UserChangedState() = 0;
    virtual uint32_t TakeUserChanges(uint32_t mask) = 0;
};

} // namespace ferrovane
