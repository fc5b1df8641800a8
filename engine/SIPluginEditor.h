// The editor as the engine and the format modules drive it, whatever the format. The editor
// library implements it; nothing below the module sees more. Free of X headers.
#pragma once

#include <cstdint>

namespace ferrovane {

class SIPluginEditor {
  public:
    virtual ~SIPluginEditor() = default;
    SIPluginEditor() = default;
    SIPluginEditor(const SIPluginEditor&) = delete;
    SIPluginEditor& operator=(const SIPluginEditor&) = delete;

    // Host GUI thread: embeds the editor in the host's window (an X window id), or takes it out.
    // A host may open twice without a close, and destroy its window before the close.
    virtual void open(void* parent) = 0;
    virtual void close() = 0;
    // Host GUI thread: tells the host the editor's size (SIEditorHost::ReportEditorSize) in the
    // screen's pixels, as the host asks for it, also before the first open.
    virtual void AnnounceSize() = 0;
    // Host GUI thread: closes the window and takes the panel out of event dispatch, before the
    // plugin is taken apart. The editor stays closed afterwards.
    virtual void Shutdown() = 0;
    // Any thread: they only raise flags for the editor's next idle pass. A program-level change,
    // or one parameter.
    virtual void postUpdate() = 0;
    virtual void postUpdateIndexed(intptr_t index) = 0;
    // Any thread: the host application code recognised from the host's product string.
    virtual int HostApp() const = 0;
};

} // namespace ferrovane
