// One live cycle on real JACK buffers, with a plugin of the test's own that sends back what it
// is told to, as any plugin may: JACK takes an output port's events only in time order, so the
// cycle writes each at its frame, clamped into the cycle, and counts the ones JACK refuses.
#include "JackBuffers.h"
#include "LiveCycle.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace ferrovane::host {
namespace {

class ScriptedPlugin {
  public:
    static AEffect* Make(audioMasterCallback master, void* self) {
        auto* p = static_cast<ScriptedPlugin*>(self);
        p->master = master;
        p->effect.magic = kEffectMagic;
        p->effect.dispatcher = Dispatch;
        p->effect.processReplacing = Process;
        p->effect.numInputs = p->effect.numOutputs = 2;
        p->effect.object = p;
        return &p->effect;
    }
    std::vector<VstMidiEvent> heard; // what effProcessEvents brought
    EventBlock* send = nullptr;      // what each block sends back

  private:
    static ScriptedPlugin& Of(AEffect* e) { return *static_cast<ScriptedPlugin*>(e->object); }
    static VstIntPtr Dispatch(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
        if (opcode == effProcessEvents) {
            const auto* block = static_cast<const VstEvents*>(ptr);
            VstEvent* const* list = block->events;
            for (VstInt32 i = 0; i < block->numEvents; ++i)
                Of(e).heard.push_back(*reinterpret_cast<const VstMidiEvent*>(list[i]));
        }
        return 0;
    }
    static void Process(AEffect* e, float** in, float** out, VstInt32 frames) {
        for (int c = 0; c < 2; ++c)
            memcpy(out[c], in[c], sizeof(float) * static_cast<size_t>(frames));
        if (Of(e).send) Of(e).master(e, audioMasterProcessEvents, 0, 0, Of(e).send->Get(), 0.0f);
    }
    AEffect effect{};
    audioMasterCallback master = nullptr;
};

struct Written {
    jack_nframes_t frame;
    std::vector<unsigned char> bytes;
    bool operator==(const Written&) const = default;
};

std::vector<Written> Read(void* buffer) {
    std::vector<Written> out;
    for (uint32_t i = 0; i < jack_midi_get_event_count(buffer); ++i) {
        jack_midi_event_t e;
        if (jack_midi_event_get(&e, buffer, i) == 0)
            out.push_back({e.time, {e.buffer, e.buffer + e.size}});
    }
    return out;
}

TEST(LiveCycle, OutputGoesOutAtItsFramesAndWhatJackRefusesIsCounted) {
    JackBuffers buffers;
    ASSERT_TRUE(buffers.Ok()) << "no JACK server";
    buffers.ClearedInput();
    ScriptedPlugin plugin;
    EventBlock send({MidiEvent(0x90, 60, 100, 10), MidiEvent(0x80, 60, 0, 3),
                     MidiEvent(0xC1, 5, 0, 1000), MidiEvent(0xB2, 7, 1, -5),
                     MidiEvent(0xF8, 0, 0, 1000), MidiEvent(0x40, 1, 2, 1000)});
    plugin.send = &send;
    VstHost host;
    host.Create(ScriptedPlugin::Make, &plugin);
    LiveCycle cycle(host, buffers.Ports());
    cycle.Process(256);
    const std::vector<Written> want = {{10, {0x90, 60, 100}}, {255, {0xC1, 5}}};
    EXPECT_EQ(Read(buffers.Output()), want) << "frames clamped into the cycle, two bytes for a PC";
    EXPECT_EQ(cycle.Counters().out.load(), 2u);
    EXPECT_EQ(cycle.Counters().lost.load(), 2u) << "a note off and a controller back in time";
    plugin.send = nullptr;
}

TEST(LiveCycle, TheCyclesChannelMessagesReachThePluginAtTheirFrames) {
    JackBuffers buffers;
    ASSERT_TRUE(buffers.Ok()) << "no JACK server";
    void* input = buffers.ClearedInput();
    const unsigned char note[] = {0x93, 64, 90}, sysex[] = {0xF0, 0x7E, 0x01, 0xF7},
                        clock[] = {0xF8}, pressure[] = {0xD5, 33};
    ASSERT_EQ(jack_midi_event_write(input, 0, note, 3), 0);
    ASSERT_EQ(jack_midi_event_write(input, 7, sysex, 4), 0);
    ASSERT_EQ(jack_midi_event_write(input, 8, clock, 1), 0);
    ASSERT_EQ(jack_midi_event_write(input, 200, pressure, 2), 0);
    ScriptedPlugin plugin;
    VstHost host;
    host.Create(ScriptedPlugin::Make, &plugin);
    LiveCycle cycle(host, buffers.Ports());
    cycle.Process(256);
    ASSERT_EQ(plugin.heard.size(), 2u) << "system messages are not routed";
    EXPECT_EQ(plugin.heard[0].deltaFrames, 0);
    EXPECT_EQ(static_cast<unsigned char>(plugin.heard[0].midiData[0]), 0x93);
    EXPECT_EQ(plugin.heard[1].deltaFrames, 200);
    EXPECT_EQ(static_cast<unsigned char>(plugin.heard[1].midiData[1]), 33);
    EXPECT_EQ(cycle.Counters().in.load(), 2u);

    // More than a block holds: the rest is counted as lost, not handed over.
    input = buffers.ClearedInput();
    for (size_t i = 0; i < LiveCycle::kCapacity + 3; ++i)
        ASSERT_EQ(jack_midi_event_write(input, static_cast<jack_nframes_t>(i / 8), note, 3), 0);
    plugin.heard.clear();
    cycle.Process(256);
    EXPECT_EQ(plugin.heard.size(), LiveCycle::kCapacity);
    EXPECT_EQ(cycle.Counters().lost.load(), 3u);
}

} // namespace
} // namespace ferrovane::host
