#include "SEditorKit.h"

#include "SGlobals.h"
#include "SHostDisplay.h"
#include "SInfo.h"
#include "SPlugin.h"
#include "SPluginEditor.h"

namespace ferrovane {

SEditorKit& SEditorKit::Instance() {
    static SEditorKit kit;
    return kit;
}

zell::gui::SGlobals* SEditorKit::CreateGlobals() {
    return new zell::gui::SGlobals;
}

SIPluginEditor* SEditorKit::CreateEditor(AudioEffect* plugin, zell::gui::SGlobals* globals,
                                         int& loadError) {
    return new SPluginEditor(plugin, globals, loadError);
}

void SEditorKit::DestroyGlobals(zell::gui::SGlobals* globals) {
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
