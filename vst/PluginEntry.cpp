#include "PluginEntry.h"

#include "LoadError.h"
#include "PluginMessage.h"
#include "SSystemData.h"
#include "VSTPlugin.h"

#include <memory>
#include <new>

namespace ferrovane {

AEffect* CreatePlugin(audioMasterCallback audioMaster) {
    return CreatePlugin(audioMaster, zell::system::sd());
}

AEffect* CreatePlugin(audioMasterCallback audioMaster, const zell::system::SSystemData& system) {
    // A missing callback cannot answer the version question: no VST 2 host.
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    int loadError = kLoadOk;
    std::unique_ptr<VSTPlugin> plugin;
    // Both reports are composed as the check's record; neither is shown.
    if (!system.Qualifies(false, false)) {
        system.ErrorMessage(false, false);
        loadError = kSystemNotSupported;
    } else {
        system.FeatureMessage();
        plugin = std::unique_ptr<VSTPlugin>(new (std::nothrow) VSTPlugin(audioMaster, loadError));
    }
    if (plugin && loadError == kLoadOk) return plugin.release()->getAeffect(); // the host's now
    if (loadError != kRefuseSilently) {
        char text[256];
        LoadFailureText(text, sizeof text, loadError, plugin != nullptr,
                        plugin ? plugin->PluginHostName() : "");
        ShowPluginMessage(text);
    }
    return nullptr;
}

} // namespace ferrovane
