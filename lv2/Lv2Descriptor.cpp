#include "Lv2Descriptor.h"

#include "LoadError.h"
#include "Lv2Features.h"
#include "Lv2Plugin.h"
#include "PluginMessage.h"
#include "SSystemData.h"

#include <cstring>
#include <memory>
#include <new>

namespace ferrovane::lv2 {

namespace {

Lv2Plugin* Instance(LV2_Handle handle) {
    return static_cast<Lv2Plugin*>(static_cast<SILv2Instance*>(handle));
}

// A machine below the requirements is refused as the VST 2.x entry refuses it; the text goes to
// standard error, the only place an instance without an editor has.
LV2_Handle Instantiate(const LV2_Descriptor*, double, const char*,
                       const LV2_Feature* const* features) {
    auto* map = static_cast<LV2_URID_Map*>(FeatureData(features, LV2_URID__map));
    if (!map || !map->map) {
        ShowPluginMessage("Failed to load plugin\n(Reason: the host maps no URIDs)");
        return nullptr;
    }
    const zell::system::SSystemData& system = zell::system::sd();
    if (!system.Qualifies(false, false)) {
        char text[256];
        LoadFailureText(text, sizeof text, kSystemNotSupported, false, "");
        ShowPluginMessage(text);
        return nullptr;
    }
    std::unique_ptr<Lv2Plugin> plugin(new (std::nothrow) Lv2Plugin(*map));
    return plugin ? static_cast<SILv2Instance*>(plugin.release()) : nullptr; // the host's now
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) {
    Instance(handle)->ConnectPort(port, data);
}

void Run(LV2_Handle handle, uint32_t frames) {
    Instance(handle)->Run(frames);
}

void Deactivate(LV2_Handle handle) {
    Instance(handle)->Deactivate();
}

void Cleanup(LV2_Handle handle) {
    std::unique_ptr<Lv2Plugin> ending(Instance(handle));
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const*) {
    return Instance(handle)->Save(store, state);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const*) {
    return Instance(handle)->Restore(retrieve, state);
}

const void* ExtensionData(const char* uri) {
    static const LV2_State_Interface state{Save, Restore};
    return uri && strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

} // namespace

const LV2_Descriptor& PluginDescriptor() {
    // Activation needs nothing: an instance routes from its first run on.
    static const LV2_Descriptor descriptor{kPluginUri, Instantiate, ConnectPort, nullptr,
                                           Run,        Deactivate,  Cleanup,     ExtensionData};
    return descriptor;
}

} // namespace ferrovane::lv2
