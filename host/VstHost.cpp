#include "VstHost.h"

#include "BrokenPipe.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <dlfcn.h>

namespace ferrovane::host {

namespace {

// The host that is inside its entry call: the plugin may call back before resvd1 is set.
thread_local VstHost* instantiating = nullptr;

void CopyText(void* ptr, const std::string& text, size_t size) {
    if (!ptr) return;
    strncpy(static_cast<char*>(ptr), text.c_str(), size - 1);
    static_cast<char*>(ptr)[size - 1] = 0;
}

} // namespace

VstMidiEvent MidiEvent(unsigned char status, unsigned char d1, unsigned char d2,
                       VstInt32 deltaFrames) {
    VstMidiEvent e{};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = deltaFrames;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(d1);
    e.midiData[2] = static_cast<char>(d2);
    return e;
}

EventBlock::EventBlock(size_t capacity) : events(capacity) {
    size_t header = offsetof(VstEvents, events) / sizeof(VstIntPtr);
    storage.assign(header + std::max<size_t>(capacity, 2), 0);
    auto* block = reinterpret_cast<VstEvents*>(storage.data());
    block->numEvents = 0;
    block->reserved = 0;
    VstEvent** slots = block->events; // longer than its declared two entries
    for (size_t i = 0; i < capacity; ++i)
        slots[i] = reinterpret_cast<VstEvent*>(&events[i]);
}

EventBlock::EventBlock(const std::vector<VstMidiEvent>& list) : EventBlock(list.size()) {
    std::copy(list.begin(), list.end(), events.begin());
    SetCount(list.size());
}

VstHost::VstHost(HostAnswers a) : answers(std::move(a)) {
    IgnoreBrokenPipes();
}

VstHost::~VstHost() {
    Unload();
}

bool VstHost::Load(const std::string& path) {
    library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        error = why ? why : "dlopen failed";
        return false;
    }
    void* symbol = dlsym(library, "VSTPluginMain");
    if (!symbol) symbol = dlsym(library, "main");
    if (!symbol) {
        error = "no VSTPluginMain or main in " + path;
        dlclose(library);
        library = nullptr;
        return false;
    }
    entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(symbol);
    return true;
}

AEffect* VstHost::Instantiate() {
    if (!entry) return nullptr;
    return Create(
        [](audioMasterCallback callback, void* context) {
            return reinterpret_cast<AEffect* (*)(audioMasterCallback)>(context)(callback);
        },
        reinterpret_cast<void*>(entry));
}

AEffect* VstHost::Create(AEffect* (*make)(audioMasterCallback, void*), void* context) {
    instantiating = this;
    effect = make(&VstHost::Callback, context);
    instantiating = nullptr;
    if (effect) effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
    return effect;
}

VstIntPtr VstHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt) {
    if (!effect) return 0;
    VstIntPtr result = effect->dispatcher(effect, opcode, index, value, ptr, opt);
    if (opcode == effClose) effect = nullptr;
    return result;
}

void VstHost::Start() {
    Dispatch(effSetSampleRate, 0, 0, nullptr, answers.sampleRate);
    Dispatch(effSetBlockSize, 0, answers.blockSize);
    Dispatch(effOpen);
    Dispatch(effMainsChanged, 0, 1);
}

void VstHost::Close() {
    if (effect) Dispatch(effClose);
}

void VstHost::Unload() {
    Close();
    if (library) dlclose(library);
    library = nullptr;
    entry = nullptr;
}

std::vector<VstMidiEvent> VstHost::Process(const std::vector<VstMidiEvent>& events, VstInt32 frames,
                                           bool accumulate) {
    received.clear();
    if (!effect) return received;
    EventBlock block(events);
    size_t n = frames > 0 ? static_cast<size_t>(frames) : 0;
    float* in[2];
    float* out[2];
    for (int c = 0; c < 2; ++c) {
        inputs[c].resize(n);
        outputs[c].resize(n);
        in[c] = inputs[c].data();
        out[c] = outputs[c].data();
    }
    ProcessBlock(block.Get(), in, out, frames, accumulate);
    return received;
}

void VstHost::ProcessBlock(VstEvents* events, float** in, float** out, VstInt32 frames,
                           bool accumulate) {
    if (!effect) return;
    if (events && events->numEvents > 0) Dispatch(effProcessEvents, 0, 0, events);
    processing.store(true, std::memory_order_relaxed);
    if (accumulate)
        effect->process(effect, in, out, frames);
    else
        effect->processReplacing(effect, in, out, frames);
    processing.store(false, std::memory_order_relaxed);
}

std::vector<HostCall> VstHost::Calls() const {
    std::lock_guard<std::mutex> lock(callsLock);
    return calls;
}

size_t VstHost::CountCalls(VstInt32 opcode) const {
    std::lock_guard<std::mutex> lock(callsLock);
    size_t n = 0;
    for (const HostCall& c : calls)
        n += c.opcode == opcode;
    return n;
}

void VstHost::ClearCalls() {
    std::lock_guard<std::mutex> lock(callsLock);
    calls.clear();
}

VstIntPtr VstHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt) {
    VstHost* host =
        effect && effect->resvd1 ? reinterpret_cast<VstHost*>(effect->resvd1) : instantiating;
    // A scanner's answer to everything it does not know.
    if (!host) return opcode == audioMasterVersion ? 2400 : 0;
    return host->Answer(opcode, index, value, ptr, opt);
}

void VstHost::Record(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    std::lock_guard<std::mutex> lock(callsLock);
    HostCall call{opcode,
                  index,
                  value,
                  opt,
                  {},
                  processing.load(std::memory_order_relaxed),
                  std::this_thread::get_id()};
    if (opcode == audioMasterCanDo && ptr) call.text = static_cast<const char*>(ptr);
    calls.push_back(std::move(call));
}

VstIntPtr VstHost::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (!sink) Record(opcode, index, value, ptr, opt);
    switch (opcode) {
    case audioMasterVersion:
        return answers.vstVersion;
    case audioMasterWantMidi:
        return 1;
    case audioMasterProcessEvents: {
        if (!processing.load(std::memory_order_relaxed) || !ptr) return 0;
        const auto* block = static_cast<const VstEvents*>(ptr);
        if (sink) {
            sink->Receive(*block);
            return 1;
        }
        VstEvent* const* list = block->events;
        for (VstInt32 i = 0; i < block->numEvents; ++i)
            if (list[i] && list[i]->type == kVstMidiType)
                received.push_back(*reinterpret_cast<const VstMidiEvent*>(list[i]));
        return 1;
    }
    case audioMasterSizeWindow:
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(answers.sampleRate);
    case audioMasterGetBlockSize:
        return answers.blockSize;
    case audioMasterGetVendorString:
        CopyText(ptr, answers.vendor, 64);
        return 1;
    case audioMasterGetProductString:
        CopyText(ptr, answers.product, 64);
        return 1;
    case audioMasterGetVendorVersion:
        return answers.vendorVersion;
    case audioMasterCanDo:
        return ptr && answers.canSizeWindow &&
                       strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0
                   ? 1
                   : 0;
    case audioMasterGetDirectory:
        return answers.directory.empty() ? 0
                                         : reinterpret_cast<VstIntPtr>(answers.directory.c_str());
    default:
        return 0;
    }
}

} // namespace ferrovane::host
