// The LV2 plugin instance: the engine behind the plugin's ports. The MIDI input's events are routed
// into the MIDI output at their frames; the control ports drive the engine's parameters and its
// current program; the bank and the current program are the saved state.
#pragma once

#include "Lv2Uris.h"
#include "RoutingEngine.h"
#include "SILv2Instance.h"

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>

namespace ferrovane::lv2 {

class Lv2Plugin final : public SILv2Instance {
  public:
    // The map is used here only.
    explicit Lv2Plugin(const LV2_URID_Map& map);
    Lv2Plugin(const Lv2Plugin&) = delete;
    Lv2Plugin& operator=(const Lv2Plugin&) = delete;

    SIEngine& Engine() override { return engine; }

    // The audio thread class: never allocates; the engine's locks only.
    void ConnectPort(uint32_t port, void* data);
    void Run(uint32_t frames);
    // The host's thread, between runs: the notes still sounding get their note offs in the
    // first run after the next activation.
    void Deactivate();

    // The host's thread. Restoring keeps what the state lacks; the control ports' values at the
    // next run are then taken as they are, since the state names the program and the options.
    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  private:
    static constexpr int kControls = kPortCount - kFirstParameter - 1; // parameters and program

    void ApplyControls();
    void QueueInput(uint32_t frames);
    void RouteToOutput();
    void WriteNotification();

    struct Urids {
        LV2_URID midiEvent;
        LV2_URID atomSequence;
        LV2_URID atomObject;
        LV2_URID atomChunk;
        LV2_URID atomInt;
        LV2_URID stateChanged;
        LV2_URID bank;
        LV2_URID program;
    };

    RoutingEngine engine;
    Urids urids;
    const LV2_Atom_Sequence* midiIn = nullptr;
    LV2_Atom_Sequence* midiOut = nullptr;
    LV2_Atom_Sequence* notify = nullptr;
    const float* controls[kControls] = {};
    // The control values the engine has been given: a port acts when its value changes. The
    // defaults of the plugin's description, which a fresh engine has already.
    float applied[kControls] = {0, 0, 0, 0, 0, 1};
    std::atomic<bool> takeControlsAsTheyAre{false}; // set by a restore, cleared by the next run
};

} // namespace ferrovane::lv2
