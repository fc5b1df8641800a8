// Our stand-in VST 2.x host: loads a plugin the way Linux hosts do, answers the host callback with
// configurable answers, records every call the plugin makes and collects the MIDI it sends.
#pragma once

#include "aeffect.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ferrovane::host {

struct HostAnswers {
    VstIntPtr vstVersion = 2400;
    std::string vendor = "Ferrovane Project";
    std::string product = "Ferrovane Host";
    VstInt32 vendorVersion = 100;
    bool canSizeWindow = true;
    std::string directory; // empty: the host reports no directory
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 512;
};

// One call the plugin made to the host. `text` holds the string argument of canDo.
struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    std::string text;
    bool fromProcessing;
    std::thread::id thread;
};

// Where a live host puts the events the plugin sends: called on the processing thread, inside
// the plugin's processing call; must neither block nor allocate.
class EventSink {
  public:
    virtual ~EventSink() = default;
    virtual void Receive(const VstEvents& events) = 0;
};

class VstHost {
  public:
    explicit VstHost(HostAnswers answers = {});
    ~VstHost();
    VstHost(const VstHost&) = delete;
    VstHost& operator=(const VstHost&) = delete;

    // dlopen with RTLD_NOW | RTLD_LOCAL, then VSTPluginMain, else main.
    [[nodiscard]] bool Load(const std::string& path);
    const std::string& Error() const { return error; }
    // Calls the entry; null when the plugin refused. A second call makes a second instance.
    [[nodiscard]] AEffect* Instantiate();
    // Drives a plugin made by `make` (for tests that build the plugin object themselves).
    AEffect* Create(AEffect* (*make)(audioMasterCallback, void*), void* context);
    AEffect* Effect() const { return effect; }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    // What a host does before it uses the plugin: sample rate, block size, open, resume.
    void Start();
    // effClose; the plugin object is gone afterwards.
    void Close();
    // Closes the instance and dlcloses the object.
    void Unload();

    // One processing block: hands over the events, runs processReplacing (or the accumulating
    // process) on `frames` samples and returns the events the plugin sent back.
    std::vector<VstMidiEvent> Process(const std::vector<VstMidiEvent>& events, VstInt32 frames,
                                      bool accumulate = false);
    // The same without allocating: hands over `events` (null for none) and runs processReplacing
    // (or process) on the caller's buffers.
    void ProcessBlock(VstEvents* events, float** inputs, float** outputs, VstInt32 frames,
                      bool accumulate = false);
    // Real-time use: from now on the host records no calls and hands what the plugin sends to
    // `sink`, so nothing on the processing path locks or allocates. Set before processing starts.
    void SendEventsTo(EventSink* target) { sink = target; }
    std::vector<float>& Input(int channel) { return inputs[channel]; }
    std::vector<float>& Output(int channel) { return outputs[channel]; }

    std::vector<HostCall> Calls() const;
    size_t CountCalls(VstInt32 opcode) const;
    void ClearCalls();
    HostAnswers& Answers() { return answers; }

    // The host callback given to the entry.
    static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);

  private:
    VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void Record(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    HostAnswers answers;
    std::string error;
    void* library = nullptr;
    AEffect* (*entry)(audioMasterCallback) = nullptr;
    AEffect* effect = nullptr;
    std::atomic<bool> processing{false}; // inside a processing call
    EventSink* sink = nullptr;
    std::vector<VstMidiEvent> received;
    std::vector<float> inputs[2], outputs[2];
    mutable std::mutex callsLock;
    std::vector<HostCall> calls;
};

// Builds a VstEvents block over the given events for effProcessEvents; keeps them alive.
class EventBlock {
  public:
    explicit EventBlock(const std::vector<VstMidiEvent>& events);
    // Room for `capacity` events, filled in place: nothing allocates after construction.
    explicit EventBlock(size_t capacity);
    VstEvents* Get() { return reinterpret_cast<VstEvents*>(storage.data()); }
    VstMidiEvent& Slot(size_t i) { return events[i]; }
    // The block holds the first `count` slots.
    void SetCount(size_t count) { Get()->numEvents = static_cast<VstInt32>(count); }

  private:
    std::vector<VstMidiEvent> events;
    std::vector<VstIntPtr> storage;
};

VstMidiEvent MidiEvent(unsigned char status, unsigned char d1, unsigned char d2,
                       VstInt32 deltaFrames = 0);

} // namespace ferrovane::host
