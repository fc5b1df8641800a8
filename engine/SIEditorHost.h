// What the editor asks of the host it is embedded in, whatever the format: who the host is, the
// size of its window, and the names the toolkit shows. Each format module implements it. Free of
// X headers.
#pragma once

namespace ferrovane {

class SIEditorHost {
  public:
    virtual ~SIEditorHost() = default;

    // The thread that makes the editor: the host's vendor and product strings (buffers of 128
    // bytes, empty when the host gives none) and its version number (0 for none).
    virtual void HostStrings(char* vendor, char* product) = 0;
    virtual int HostVersion() = 0;

    // Host GUI thread. True when the host sizes its own window when asked; otherwise the editor
    // resizes it.
    virtual bool HostSizesWindow() = 0;
    // Asks the host to give its window this size; the answer is the host's.
    virtual bool RequestWindowSize(int width, int height) = 0;
    // The size the editor reports as its own from now on.
    virtual void ReportEditorSize(int width, int height) = 0;

    // Host GUI thread: the effect's name and the folder that holds the plugin's file, for the
    // toolkit's resources; null while unknown.
    virtual const char* EffectName() = 0;
    virtual const char* Directory() = 0;

    // The line the format's licence asks the editor to show under the logo; null for none.
    virtual const char* FormatNotice() = 0;
};

} // namespace ferrovane
