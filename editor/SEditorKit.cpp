#include "SEditorKit.h"

#include "SGlobals.h"
#include "SHostDisplay.h"
#include "SInfo.h"
#include "Product.h"
#include "SPluginEditor.h"

namespace ferrovane {

SEditorKit& SEditorKit::Instance() {
    static SEditorKit kit;
    return kit;
}

SGlobalsHandle SEditorKit::CreateGlobals() {
    return SGlobalsHandle(new zell::gui::SGlobals, SGlobalsRelease{this});
}

std::unique_ptr<SIPluginEditor> SEditorKit::CreateEditor(SIEngine* engine, SIEditorHost* host,
                                                         zell::gui::SGlobals* globals,
                                                         int& loadError) {
    return std::make_unique<SPluginEditor>(engine, host, globals, loadError);
}

void SEditorKit::DestroyGlobals(gsl::owner<zell::gui::SGlobals*> globals) {
    delete globals;
}

bool SEditorKit::AdoptHostDisplay(zell::gui::SGlobals* globals, void* hostDisplay) {
    return zell::gui::AdoptHostDisplay(globals, hostDisplay);
}

void SEditorKit::ReleaseHostDisplay(zell::gui::SGlobals* globals) {
    zell::gui::ReleaseHostDisplay(globals);
}

void SEditorKit::ShowMessage(const char* text) {
    zell::gui::SInfo(text, kProductName);
}

} // namespace ferrovane
