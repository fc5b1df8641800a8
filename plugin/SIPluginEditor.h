// The editor as the plugin core drives it: the SDK's editor, plus what the core asks of it
// beyond the SDK. The editor library implements it; the core never sees more. Free of X headers.
#pragma once

#include "AEffEditor.h"

namespace ferrovane {

class SIPluginEditor : public AEffEditor {
  public:
    using AEffEditor::AEffEditor;

    // Host GUI thread: closes the window and takes the panel out of event dispatch, before the
    // plugin is taken apart. The editor stays closed afterwards.
    virtual void Shutdown() = 0;
    // Any thread: the host application code recognised from the host's product string.
    virtual int HostApp() const = 0;
};

} // namespace ferrovane
