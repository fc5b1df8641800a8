// How a format module gets an editor without depending on one: the module that links the editor
// in sets a factory before the first instance is made. An instance made while none is set has
// no editor (a VST 2.x record's flags 0x138), uses no display and shows its messages on standard
// error only; the engine's programs behave the same either way. Free of format and X headers.
#pragma once

#include "Owner.h"
#include "SIPluginEditor.h"

#include <memory>

namespace zell::gui {
class SGlobals;
}

namespace ferrovane {

class SIEditorFactory;
class SIEditorHost;
class SIEngine;

// An instance's globals, given back to the factory that made them when the handle lets go.
struct SGlobalsRelease {
    SIEditorFactory* factory = nullptr;
    void operator()(gsl::owner<zell::gui::SGlobals*> globals) const;
};
using SGlobalsHandle = std::unique_ptr<zell::gui::SGlobals, SGlobalsRelease>;

class SIEditorFactory {
  public:
    virtual ~SIEditorFactory() = default;

    // The thread that makes the plugin (the host's). A new instance's resources and its editor,
    // of the engine it edits in the host it asks; the editor may refuse the host by setting
    // loadError to 3. The caller owns both; the editor goes before the globals.
    [[nodiscard]] virtual SGlobalsHandle CreateGlobals() = 0;
    [[nodiscard]] virtual std::unique_ptr<SIPluginEditor> CreateEditor(SIEngine* engine,
                                                                       SIEditorHost* host,
                                                                       zell::gui::SGlobals* globals,
                                                                       int& loadError) = 0;
    // What a globals handle calls as it lets go, after the instance's editor is gone.
    virtual void DestroyGlobals(gsl::owner<zell::gui::SGlobals*> globals) = 0;

    // Host GUI thread, as the editor opens: gives the instance's editor an X connection, the
    // host's display (null when the host gives none) or one of its own. False when there is none
    // to be had.
    [[nodiscard]] virtual bool AdoptHostDisplay(zell::gui::SGlobals* globals,
                                                void* hostDisplay) = 0;
    // When the instance's editor is gone, before its globals: nothing of the instance refers to
    // the host's display any more (a host may close it right after closing the plugin).
    virtual void ReleaseHostDisplay(zell::gui::SGlobals* globals) = 0;
    // Any thread: shows the text (which is on standard error already) in a message box; never
    // waits for the user.
    virtual void ShowMessage(const char* text) = 0;
};

inline void SGlobalsRelease::operator()(gsl::owner<zell::gui::SGlobals*> globals) const {
    if (factory) factory->DestroyGlobals(globals);
}

// The factory every later instance uses; null for none. The module sets it before it makes the
// first plugin.
void SetEditorFactory(SIEditorFactory* factory);
SIEditorFactory* EditorFactory();

} // namespace ferrovane
