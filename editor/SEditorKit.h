// The editor factory of the plugin module: the toolkit's per-instance resources, the plugin's
// editor, the display the host hands over and the message box, for the plugin core.
#pragma once

#include "SIEditorFactory.h"

namespace ferrovane {

class SEditorKit : public SIEditorFactory {
  public:
    // The process's one kit.
    static SEditorKit& Instance();

    [[nodiscard]] zell::gui::SGlobals* CreateGlobals() override;
    [[nodiscard]] SIPluginEditor* CreateEditor(AudioEffect* plugin, zell::gui::SGlobals* globals,
                                               int& loadError) override;
    void DestroyGlobals(zell::gui::SGlobals* globals) override;
    [[nodiscard]] bool AdoptHostDisplay(zell::gui::SGlobals* globals, void* hostDisplay) override;
    void ReleaseHostDisplay(zell::gui::SGlobals* globals) override;
    void ShowMessage(const char* text) override;
};

} // namespace ferrovane
