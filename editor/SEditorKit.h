// The editor factory of the shared objects: the toolkit's per-instance resources, the plugin's
// editor, the display the host hands over and the message box, for the format modules.
#pragma once

#include "SIEditorFactory.h"

namespace ferrovane {

class SEditorKit : public SIEditorFactory {
  public:
    // The process's one kit.
    static SEditorKit& Instance();

    [[nodiscard]] SGlobalsHandle CreateGlobals() override;
    [[nodiscard]] std::unique_ptr<SIPluginEditor> CreateEditor(SIEngine* engine, SIEditorHost* host,
                                                               zell::gui::SGlobals* globals,
                                                               int& loadError) override;
    void DestroyGlobals(gsl::owner<zell::gui::SGlobals*> globals) override;
    [[nodiscard]] bool AdoptHostDisplay(zell::gui::SGlobals* globals, void* hostDisplay) override;
    void ReleaseHostDisplay(zell::gui::SGlobals* globals) override;
    void ShowMessage(const char* text) override;
};

} // namespace ferrovane
