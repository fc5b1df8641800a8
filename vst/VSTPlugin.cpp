#include "VSTPlugin.h"

#include <cstring>

namespace ferrovane {

VSTPlugin::VSTPlugin(audioMasterCallback audioMaster, int& loadError)
    : SPlugin(audioMaster, loadError) {}

// ---- Host GUI thread ----

bool VSTPlugin::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    return engine.getProgramNameIndexed(index, text);
}

void VSTPlugin::getParameterLabel(VstInt32 index, char* label) {
    engine.getParameterLabel(index, label);
}

void VSTPlugin::getParameterDisplay(VstInt32 index, char* text) {
    engine.getParameterDisplay(index, text);
}

void VSTPlugin::getParameterName(VstInt32 index, char* text) {
    engine.getParameterName(index, text);
}

VstInt32 VSTPlugin::getChunk(void** data, bool isPreset) {
    return engine.getChunk(data, isPreset);
}

VstInt32 VSTPlugin::setChunk(void* data, VstIntPtr byteSize, bool isPreset) {
    return engine.setChunk(data, byteSize, isPreset);
}

// ---- Host processing thread ----

VstInt32 VSTPlugin::processEvents(VstEvents* events) {
    if (!events) return 0;
    // The block is longer than its declared two entries.
    VstEvent* const* list = events->events;
    engine.QueueEvents(events->numEvents, [list](int i) -> const void* {
        const VstEvent* e = list[i];
        return e && e->type == kVstMidiType ? e : nullptr;
    });
    return 0;
}

void VSTPlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (IsSuspended()) return;
    const int routed = engine.Route();
    if (inputs && outputs && sampleFrames > 0)
        for (int c = 0; c < 2; ++c)
            if (inputs[c] && outputs[c] && inputs[c] != outputs[c])
                memcpy(outputs[c], inputs[c], sizeof(float) * static_cast<size_t>(sampleFrames));
    SendRouted(routed);
    engine.EndBlock();
}

void VSTPlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (IsSuspended()) return;
    const int routed = engine.Route();
    if (inputs && outputs && sampleFrames > 0)
        for (int c = 0; c < 2; ++c)
            if (inputs[c] && outputs[c])
                for (VstInt32 i = 0; i < sampleFrames; ++i)
                    outputs[c][i] += inputs[c][i];
    SendRouted(routed);
    engine.EndBlock();
}

void VSTPlugin::suspend() {
    engine.FlushAllNotes();
    SPlugin::suspend();
}

// The pointers are set again every block: the block belongs to the host while it reads it.
void VSTPlugin::SendRouted(int count) {
    if (count == 0) return;
    MidiEvent* routed = engine.RoutedEvents();
    for (int i = 0; i < count; ++i)
        outputEvents.events[i] = reinterpret_cast<VstEvent*>(&routed[i]);
    outputEvents.numEvents = count;
    outputEvents.reserved = 0;
    sendVstEventsToHost(reinterpret_cast<VstEvents*>(&outputEvents));
}

} // namespace ferrovane
