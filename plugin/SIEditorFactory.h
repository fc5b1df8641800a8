// How the plugin core gets an editor without depending on one: the module that links the editor
// in sets a factory before the first instance is made. An instance made while none is set has
// no editor (flags 0x138), uses no display and shows its messages on standard error only; the
// engine's programs behave the same either way. Free of X headers.
#pragma once

namespace zell::gui {
class SGlobals;
}

class AudioEffect;

namespace ferrovane {

class SIPluginEditor;

class SIEditorFactory {
  public:
    virtual ~SIEditorFactory() = default;

    // The thread that makes the plugin (the host's, in main). A new instance's resources and
    // its editor; the editor may refuse the host by setting loadError to 3.
    [[nodiscard]] virtual zell::gui::SGlobals* CreateGlobals() = 0;
    [[nodiscard]] virtual SIPluginEditor*
    CreateEditor(AudioEffect* plugin, zell::gui::SGlobals* globals, int& loadError) = 0;
    // After the instance's editor is gone.
    virtual void DestroyGlobals(zell::gui::SGlobals* globals) = 0;

    // Host GUI thread, effEditOpen: gives the instance's editor an X connection, the host's
    // display or one of its own. False when there is none to be had.
    [[nodiscard]] virtual bool AdoptHostDisplay(zell::gui::SGlobals* globals,
                                                void* hostDisplay) = 0;
    // When the instance's editor is gone, before its globals: nothing of the instance refers to
    // the host's display any more (a host may close it right after effClose).
    virtual void ReleaseHostDisplay(zell::gui::SGlobals* globals) = 0;
    // Any thread: shows the text (which is on standard error already) in a message box; never
    // waits for the user.
    virtual void ShowMessage(const char* text) = 0;
};

// The factory every later instance uses; null for none. The module sets it before it makes the
// first plugin.
void SetEditorFactory(SIEditorFactory* factory);
SIEditorFactory* EditorFactory();

} // namespace ferrovane
