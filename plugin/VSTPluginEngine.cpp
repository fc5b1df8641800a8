// The MIDI engine: routing each queued event through the current program, the note table that
// sends every note off where its note on went, and the flushes that silence sounding notes.
#include "VSTPlugin.h"

#include "PluginParameters.h"
#include "Relaxed.h"
#include "RowScan.h"

#include <cstring>

namespace ferrovane {

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

namespace {

constexpr VstMidiEvent kBlankEvent{kVstMidiType, 24, 0, 0, 0, 0, {}, 0, 0, 0, 0};

inline VstMidiEvent NoteOff(uint8_t channel, uint8_t note) {
    VstMidiEvent e = kBlankEvent;
    e.midiData[0] = static_cast<char>(0x80 | channel);
    e.midiData[1] = static_cast<char>(note);
    return e;
}

// Type bits of the channel messages that the matrix routes like controllers.
constexpr uint16_t kTypeBit[8] = {
    0,                    // 0x80 note off: routed through the note table
    0,                    // 0x90 note on: routed through the note table
    kRoutePolyAftertouch, // 0xA0
    kRouteCC,             // 0xB0
    kRouteProgramChange,  // 0xC0
    kRouteAftertouch,     // 0xD0
    kRoutePitchBend,      // 0xE0
    0,                    // 0xF0 system messages are dropped
};

} // namespace

// ---- Host processing thread ----

VstInt32 VSTPlugin::processEvents(VstEvents* events) {
    if (!events) return 0;
    // The block is longer than its declared two entries.
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* e = list[i];
        if (e && e->type == kVstMidiType)
            inputQueue.Push(*reinterpret_cast<const VstMidiEvent*>(e));
    }
    return 0;
}

void VSTPlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (IsSuspended()) return;
    midiInProcess();
    if (inputs && outputs && sampleFrames > 0)
        for (int c = 0; c < 2; ++c)
            if (inputs[c] && outputs[c] && inputs[c] != outputs[c])
                memcpy(outputs[c], inputs[c], sizeof(float) * static_cast<size_t>(sampleFrames));
    midiPostProcess();
}

void VSTPlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (IsSuspended()) return;
    midiInProcess();
    if (inputs && outputs && sampleFrames > 0)
        for (int c = 0; c < 2; ++c)
            if (inputs[c] && outputs[c])
                for (VstInt32 i = 0; i < sampleFrames; ++i)
                    outputs[c][i] += inputs[c][i];
    midiPostProcess();
}

void VSTPlugin::suspend() {
    FlushAllNotes();
    SPlugin::suspend();
}

VstMidiEvent* VSTPlugin::NextRoutedSlot() {
    return routedCount < MidiEventQueue::kCapacity ? &outputSlots[routedCount++] : nullptr;
}

// noteLock is taken once for the whole block: the note routing and the move of the flushes'
// note offs run under it, and editpoint waits for the block instead of every note waiting for a
// lock of its own.
void VSTPlugin::midiInProcess() {
    noteLock.Lock();
    inputQueue.Drain([this](VstMidiEvent& e) { RouteEvent(e); });
    MoveNoteOffs();
    noteLock.Unlock();
}

// The slot is consumed, so note routing may rewrite its data byte in place.
void VSTPlugin::RouteEvent(VstMidiEvent& e) {
    const uint8_t status = static_cast<uint8_t>(e.midiData[0]);
    const uint8_t channel = status & 0x0F;
    const uint8_t type = status & 0xF0;
    const uint8_t d1 = static_cast<uint8_t>(e.midiData[1]) & 0x7F;
    const uint16_t* row = programs[CurrentIndex()].routing[channel];
    if (type == 0x90 || type == 0x80) {
        if (LoadRelaxed(programChanged)) return;
        if (type == 0x90 && (static_cast<uint8_t>(e.midiData[2]) & 0x7F) != 0)
            RouteNoteOn(e, channel, d1, row);
        else
            RouteNoteOff(e, channel, d1);
    } else if (type == 0xC0 && getParameter(kParamPresetSwitching) >= 1e-10f) {
        setProgram(d1);
    } else if (status >= 0x80) {
        if (uint16_t bit = kTypeBit[(type >> 4) & 7]) RouteByMask(e, type, bit, row);
    }
}

void VSTPlugin::RouteByMask(const VstMidiEvent& e, uint8_t type, uint16_t bit,
                            const uint16_t* row) {
    for (unsigned mask = RowScan::Mask(row, __builtin_ctz(bit)); mask; mask &= mask - 1) {
        VstMidiEvent* slot = NextRoutedSlot();
        if (!slot) return;
        *slot = e;
        slot->midiData[0] = static_cast<char>(type | __builtin_ctz(mask));
    }
}

void VSTPlugin::RouteNoteOn(VstMidiEvent& e, uint8_t channel, uint8_t note, const uint16_t* row) {
    unsigned mask = RowScan::Mask(row, 0); // kRouteNote
    if (!mask) return;
    e.midiData[1] = static_cast<char>(note);
    for (; mask; mask &= mask - 1) {
        uint8_t out = static_cast<uint8_t>(__builtin_ctz(mask));
        if (VstMidiEvent* slot = NextRoutedSlot()) {
            *slot = e;
            slot->midiData[0] = static_cast<char>(0x90 | out);
        }
        noteTable.Add(channel, note, out);
    }
}

void VSTPlugin::RouteNoteOff(const VstMidiEvent& e, uint8_t channel, uint8_t note) {
    noteTable.ReleaseNote(channel, note, [&](const NoteRoute& r) {
        if (VstMidiEvent* slot = NextRoutedSlot()) {
            *slot = e;
            slot->midiData[0] = static_cast<char>(0x80 | r.outChannel);
            slot->midiData[1] = static_cast<char>(r.outNote);
            slot->midiData[2] = 0;
        }
    });
}

void VSTPlugin::MoveNoteOffs() {
    while (!noteOffQueue.Empty()) {
        const VstMidiEvent& e = noteOffQueue.Take();
        if (VstMidiEvent* slot = NextRoutedSlot()) *slot = e;
    }
}

// Hosts that pass the block on to a JACK port lose every event earlier than the one before it
// (a lost flush note off is a stuck note), so the block goes out in time order: an event keeps
// its place and, when it is earlier than the one before it, takes that one's frame.
void VSTPlugin::OrderFrames() {
    VstInt32 frame = routedCount > 0 ? outputSlots[0].deltaFrames : 0;
    for (int i = 1; i < routedCount; ++i) {
        if (outputSlots[i].deltaFrames < frame) outputSlots[i].deltaFrames = frame;
        frame = outputSlots[i].deltaFrames;
    }
}

void VSTPlugin::midiPostProcess() {
    if (routedCount > 0) {
        OrderFrames();
        outputEvents.numEvents = routedCount;
        outputEvents.reserved = 0;
        for (int i = 0; i < routedCount; ++i)
            outputEvents.events[i] = reinterpret_cast<VstEvent*>(&outputSlots[i]);
        sendVstEventsToHost(reinterpret_cast<VstEvents*>(&outputEvents));
        routedCount = 0;
    }
    if (!LoadRelaxed(programChanged)) return;
    if (notesFlushed) {
        notesFlushed = false;
        StoreRelaxed(programChanged, false);
        return;
    }
    FlushAllNotes();
    notesFlushed = true;
}

void VSTPlugin::FlushAllNotes() {
    noteLock.Lock();
    noteTable.ReleaseAll(
        [&](const NoteRoute& r) { noteOffQueue.Push(NoteOff(r.outChannel, r.outNote)); });
    noteLock.Unlock();
}

// ---- Editor thread ----

void VSTPlugin::editpoint() {
    noteLock.Lock();
    int in = LoadRelaxed(editIn);
    int out = LoadRelaxed(editOut);
    if (in != -1 && out != -1) {
        noteTable.ReleaseNode(in, out, [&](const NoteRoute& r) {
            noteOffQueue.Push(NoteOff(r.outChannel, r.outNote));
        });
        StoreRelaxed(editIn, -1);
        StoreRelaxed(editOut, -1);
    }
    noteLock.Unlock();
}

} // namespace ferrovane
