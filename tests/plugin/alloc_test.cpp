// The processing path must not touch the heap: allocations are counted while a block is
// processed.
#include "CountingAllocator.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

// A host callback that keeps what it receives in fixed storage, so only the plugin can allocate.
int received = 0;
VstIntPtr QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterProcessEvents && ptr) {
        received += static_cast<VstEvents*>(ptr)->numEvents;
        return 1;
    }
    return 0;
}

TEST(Allocation, ProcessingAllocatesNothing) {
    void* lib = dlopen(FERROVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(lib, "VSTPluginMain"));
    AEffect* e = entry(QuietHost);
    ASSERT_NE(e, nullptr);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    e->setParameter(e, 2, 1.0f); // program changes switch programs: the flush runs too

    // Notes and controllers, then a program change that silences them, then more notes.
    std::vector<VstMidiEvent> events;
    for (int i = 0; i < 200; ++i) {
        events.push_back(ferrovane::host::MidiEvent(0x90 | (i & 15), i & 0x7F, 100, i));
        events.push_back(ferrovane::host::MidiEvent(0xB0 | (i & 15), 7, i & 0x7F, i));
    }
    ferrovane::host::EventBlock notes(events);
    ferrovane::host::EventBlock change({ferrovane::host::MidiEvent(0xC0, 3, 0)});
    ferrovane::host::EventBlock* blocks[] = {&notes, &change, &change, &notes};
    std::vector<float> in(512, 0.1f), out(512);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};

    ferrovane::test::CountAllocations(true);
    for (int round = 0; round < 4; ++round) {
        e->dispatcher(e, effProcessEvents, 0, 0, blocks[round]->Get(), 0.0f);
        e->processReplacing(e, ins, outs, 512);
        e->process(e, ins, outs, 512);
    }
    ferrovane::test::CountAllocations(false);
    EXPECT_GT(received, 600); // routed events and the flush's note offs
    EXPECT_EQ(ferrovane::test::CountedAllocations(), 0);

    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    dlclose(lib);
}

} // namespace
