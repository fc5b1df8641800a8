#include "Lv2Plugin.h"

#include "PluginParameters.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ferrovane::lv2 {

namespace {

constexpr int kProgramControl = kProgram - kFirstParameter;

} // namespace

Lv2Plugin::Lv2Plugin(LV2_URID_Map& map)
    : urids{map.map(map.handle, LV2_MIDI__MidiEvent),
            map.map(map.handle, LV2_ATOM__Chunk),
            map.map(map.handle, LV2_ATOM__Int),
            map.map(map.handle, LV2_STATE__StateChanged),
            map.map(map.handle, kBankKey),
            map.map(map.handle, kProgramKey)} {
    lv2_atom_forge_init(&forge, &map);
}

// ---- Audio thread class ----

void Lv2Plugin::ConnectPort(uint32_t port, void* data) {
    if (port == kMidiIn)
        midiIn = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port == kMidiOut)
        midiOut = static_cast<LV2_Atom_Sequence*>(data);
    else if (port == kNotify)
        notify = static_cast<LV2_Atom_Sequence*>(data);
    else if (port >= kFirstParameter && port < kFirstParameter + kControls)
        controls[port - kFirstParameter] = static_cast<const float*>(data);
}

void Lv2Plugin::Run(uint32_t frames) {
    ApplyControls();
    QueueInput(frames);
    WriteOutput(engine.Route());
    engine.EndBlock();
    WriteNotification();
}

void Lv2Plugin::Deactivate() {
    engine.FlushAllNotes();
}

// A control acts when its value changes: Reset and Clear run once for each press (the engine
// waits for their release), the options are written into every program, and the program port
// selects a program only when it names another one, so that an unchanged port never silences
// the notes sounding.
void Lv2Plugin::ApplyControls() {
    const bool asTheyAre = takeControlsAsTheyAre.exchange(false, std::memory_order_relaxed);
    for (int i = 0; i < kControls; ++i) {
        if (!controls[i]) continue;
        const float value = *controls[i];
        if (value == applied[i]) continue;
        applied[i] = value;
        if (asTheyAre) continue;
        if (i != kProgramControl) {
            engine.setParameter(i, value);
        } else if (value >= 1.0f && value <= static_cast<float>(kNumPrograms)) {
            const long program = std::lround(value) - 1;
            if (program != engine.getProgram()) engine.setProgram(program);
        }
    }
}

// Channel messages only, as the VST 2.x plugin receives them: system messages are not routed,
// and a message shorter than its status asks for is no message.
void Lv2Plugin::QueueInput(uint32_t frames) {
    if (!midiIn) return;
    const int64_t last = frames > 0 ? frames - 1 : 0;
    LV2_ATOM_SEQUENCE_FOREACH(midiIn, ev) {
        if (ev->body.type != urids.midiEvent) continue;
        const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&ev->body));
        const int size = ev->body.size > 0 ? ChannelMessageSize(bytes[0]) : 0;
        if (size == 0 || ev->body.size < static_cast<uint32_t>(size)) continue;
        MidiEvent e;
        e.frame = static_cast<int32_t>(std::clamp<int64_t>(ev->time.frames, 0, last));
        memcpy(e.midi, bytes, static_cast<size_t>(size));
        engine.QueueEvent(e);
    }
}

// An output sequence must be written every run, if only as an empty one; its atom's size is the
// room the host gave. An event is written only where it fits whole: the others are dropped.
bool Lv2Plugin::StartSequence(LV2_Atom_Sequence* port, LV2_Atom_Forge_Frame& frame) {
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(port), port->atom.size);
    return lv2_atom_forge_sequence_head(&forge, &frame, 0) != 0;
}

bool Lv2Plugin::Fits(uint32_t bodySize) const {
    return forge.offset + sizeof(LV2_Atom_Event) + lv2_atom_pad_size(bodySize) <= forge.size;
}

void Lv2Plugin::WriteOutput(int routed) {
    LV2_Atom_Forge_Frame sequence;
    if (!midiOut || !StartSequence(midiOut, sequence)) return;
    const MidiEvent* events = engine.RoutedEvents();
    for (int i = 0; i < routed; ++i) {
        const MidiEvent& e = events[i];
        const auto size = static_cast<uint32_t>(ChannelMessageSize(e.midi[0]));
        if (!Fits(size)) break;
        lv2_atom_forge_frame_time(&forge, e.frame);
        lv2_atom_forge_atom(&forge, size, urids.midiEvent);
        lv2_atom_forge_write(&forge, e.midi, size);
    }
    lv2_atom_forge_pop(&forge, &sequence);
}

// The user's edit of what only the bank holds: a host that saves the state marks its session as
// modified.
void Lv2Plugin::WriteNotification() {
    LV2_Atom_Forge_Frame sequence;
    if (!notify || !StartSequence(notify, sequence)) return;
    if (Fits(sizeof(LV2_Atom_Object_Body)) && engine.TakeUserChanges(SIEngine::kStateChanged)) {
        LV2_Atom_Forge_Frame object;
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_object(&forge, &object, 0, urids.stateChanged);
        lv2_atom_forge_pop(&forge, &object);
    }
    lv2_atom_forge_pop(&forge, &sequence);
}

// ---- The host's thread ----

LV2_State_Status Lv2Plugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    void* bank = nullptr;
    const int32_t size = engine.getChunk(&bank, false);
    const int32_t program = engine.getProgram() + 1;
    const uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    LV2_State_Status status =
        store(handle, urids.bank, bank, static_cast<size_t>(size), urids.atomChunk, flags);
    if (status != LV2_STATE_SUCCESS) return status;
    return store(handle, urids.program, &program, sizeof program, urids.atomInt, flags);
}

// The program first: loading the bank selects the current program again.
LV2_State_Status Lv2Plugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* program = retrieve(handle, urids.program, &size, &type, &flags);
    if (program && type == urids.atomInt && size == sizeof(int32_t)) {
        int32_t number = 0;
        memcpy(&number, program, sizeof number);
        engine.setProgram(static_cast<intptr_t>(number) - 1);
    }
    const void* bank = retrieve(handle, urids.bank, &size, &type, &flags);
    takeControlsAsTheyAre.store(true, std::memory_order_relaxed);
    if (!bank) return LV2_STATE_SUCCESS;
    if (type != urids.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    if (engine.setChunk(bank, static_cast<intptr_t>(size), false) != 1)
        return LV2_STATE_ERR_UNKNOWN;
    return LV2_STATE_SUCCESS;
}

} // namespace ferrovane::lv2
