// The built LV2 plugin in the lilv host, with its bank loaded through its state interface as a
// host restores it, and the engine behind an instance as its UI reaches it.
#pragma once

#include "Lv2Host.h"
#include "Lv2Uris.h"
#include "PluginHarness.h"
#include "Relaxed.h"
#include "SIEngine.h"
#include "SILv2Instance.h"

#include <lv2/state/state.h>

#include <cstring>

namespace ferrovane::test {

using Lv2Events = std::vector<Lv2Event>;
using B = std::vector<std::vector<int>>;

inline Lv2Event Msg(uint32_t frame, std::initializer_list<uint8_t> bytes) {
    return Lv2Event{frame, bytes};
}

// 128 programs with the defaults, program 0 replaced.
inline std::vector<VSTPluginProgram> Bank(const VSTPluginProgram& first = DefaultProgram()) {
    std::vector<VSTPluginProgram> bank(kNumPrograms, DefaultProgram());
    bank[0] = first;
    return bank;
}

inline VSTPluginProgram Matrix(std::initializer_list<std::tuple<int, int, uint16_t>> cells) {
    VSTPluginProgram p = DefaultProgram();
    ClearRouting(p);
    for (auto [in, out, mask] : cells)
        p.routing[in][out] = mask;
    return p;
}

struct Lv2Router {
    Lv2Router() { EXPECT_TRUE(plugin.Ok()); }

    // What a host's restore hands the plugin: these properties, each of the given type.
    struct Property {
        LV2_URID key;
        const void* value;
        size_t size;
        LV2_URID type;
    };
    LV2_State_Status RestoreProperties(const std::vector<Property>& properties) {
        const auto* state = static_cast<const LV2_State_Interface*>(
            lilv_instance_get_extension_data(plugin.Instance(), LV2_STATE__interface));
        EXPECT_NE(state, nullptr);
        return state->restore(
            plugin.Handle(),
            [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
                for (const Property& p : *static_cast<const std::vector<Property>*>(h))
                    if (p.key == key) {
                        *size = p.size;
                        *type = p.type;
                        *flags = LV2_STATE_IS_POD;
                        return p.value;
                    }
                return static_cast<const void*>(nullptr);
            },
            const_cast<std::vector<Property>*>(&properties), 0, world.Features());
    }
    LV2_State_Status Load(const std::vector<VSTPluginProgram>& bank, int32_t program = 1) {
        return RestoreProperties(
            {{world.Map(lv2::kBankKey), bank.data(), bank.size() * sizeof bank[0],
              world.Map(LV2_ATOM__Chunk)},
             {world.Map(lv2::kProgramKey), &program, sizeof program, world.Map(LV2_ATOM__Int)}});
    }
    // A load is a program change: let its two-block handshake finish.
    void Settle() {
        plugin.Run({});
        plugin.Run({});
    }
    Lv2Events Play(const Lv2Events& in, uint32_t frames = 256) { return plugin.Run(in, frames); }
    // The engine as the plugin's UI reaches it through instance access.
    SIEngine& Engine() { return static_cast<lv2::SILv2Instance*>(plugin.Handle())->Engine(); }

    Lv2World world;
    Lv2Instance plugin{world};
};

} // namespace ferrovane::test
