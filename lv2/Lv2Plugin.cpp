#include "Lv2Plugin.h"

#include "Lv2MidiSink.h"
#include "Lv2Sequence.h"
#include "PluginParameters.h"
#include "RoutingEngineRoute.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ferrovane::lv2 {

namespace {

constexpr int kProgramControl = kProgram - kFirstParameter;

} // namespace

Lv2Plugin::Lv2Plugin(const LV2_URID_Map& map)
    : urids{map.map(map.handle, LV2_MIDI__MidiEvent),
            map.map(map.handle, LV2_ATOM__Sequence),
            map.map(map.handle, LV2_ATOM__Object),
            map.map(map.handle, LV2_ATOM__Chunk),
            map.map(map.handle, LV2_ATOM__Int),
            map.map(map.handle, LV2_STATE__StateChanged),
            map.map(map.handle, kBankKey),
            map.map(map.handle, kProgramKey)} {}

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
    RouteToOutput();
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
// and a message shorter than its status asks for is no message. Every event's body is padded to
// 8 bytes in the sequence, so a message's bytes are read as one word and cut to its length. An
// event whose body would reach beyond the sequence ends it: what follows is no sequence.
//
// The walk reads each event's size to find the next one. A MIDI event's padded body takes 8
// bytes, so the next event is assumed there and the size only checked: the processor then reads
// ahead instead of waiting for every size it loads.
void Lv2Plugin::QueueInput(uint32_t frames) {
    if (!midiIn) return;
    static constexpr uint32_t kBytes[4] = {0, 0xFF, 0xFFFF, 0xFFFFFF};
    const int64_t last = frames > 0 ? frames - 1 : 0;
    const LV2_URID midiEvent = urids.midiEvent;
    const auto* at = reinterpret_cast<const uint8_t*>(lv2_atom_sequence_begin(&midiIn->body));
    const auto* end = reinterpret_cast<const uint8_t*>(&midiIn->body) + midiIn->atom.size;
    engine.QueueMessages([&](auto push) {
        while (at + sizeof(LV2_Atom_Event) <= end) {
            const auto* ev = reinterpret_cast<const LV2_Atom_Event*>(at);
            const uint8_t* body = at + sizeof(LV2_Atom_Event);
            const uint32_t size = ev->body.size;
            if (size > static_cast<size_t>(end - body)) break;
            if (__builtin_expect(size - 1 < sizeof(uint64_t), 1)) // 1 to 8 bytes
                at = body + sizeof(uint64_t);
            else
                at = body + lv2_atom_pad_size(size);
            if (ev->body.type != midiEvent || size == 0) continue;
            uint32_t midi = 0;
            if (__builtin_expect(end - body >= 4, 1))
                memcpy(&midi, body, sizeof midi);
            else
                memcpy(&midi, body, size);
            const int need = ChannelMessageSize(static_cast<uint8_t>(midi));
            if (need == 0 || size < static_cast<uint32_t>(need)) continue;
            push(static_cast<int32_t>(std::clamp<int64_t>(ev->time.frames, 0, last)),
                 midi & kBytes[need]);
        }
    });
}

// An output sequence must be written every run, if only as an empty one. The engine writes the
// routed events into it itself; an event that does not fit the host's room whole is dropped, as
// is every event when the host left the port unconnected.
void Lv2Plugin::RouteToOutput() {
    if (!midiOut) {
        engine.Route(Lv2MidiSink(nullptr, 0, urids.midiEvent));
        return;
    }
    Lv2Sequence out(midiOut, urids.atomSequence);
    out.Added(engine.Route(Lv2MidiSink(out.Next(), out.Room(), urids.midiEvent)));
}

// The user's edit of what only the bank holds: a host that saves the state marks its session as
// modified. The notification waits for a run with room for it.
void Lv2Plugin::WriteNotification() {
    if (!notify) return;
    Lv2Sequence out(notify, urids.atomSequence);
    const uint64_t body = uint64_t(urids.stateChanged) << 32; // an object: id 0, its type
    if (out.Room() > 0 && engine.TakeUserChanges(SIEngine::kStateChanged))
        out.Add(0, urids.atomObject, sizeof(LV2_Atom_Object_Body), body);
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
