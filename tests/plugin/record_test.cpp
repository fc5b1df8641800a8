// What a host sees when it loads the plugin: the record, the dispatcher's answers, canDo.
#include "PluginHarness.h"

#include <dlfcn.h>

namespace ferrovane::test {
namespace {

TEST(Record, FieldsAsTheHostReadsThem) {
    LoadedPlugin p;
    AEffect* e = p.effect;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->uniqueID, 0x46525661); // 'FRVa'
    EXPECT_EQ(e->numPrograms, 128);
    EXPECT_EQ(e->numParams, 5);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 0x139); // HasEditor, CanMono, CanReplacing, ProgramChunks, IsSynth
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_EQ(e->processDoubleReplacing, nullptr); // and the rest of the record is 0
    for (char c : e->future)
        EXPECT_EQ(c, 0);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->process, nullptr);
}

TEST(Record, DispatcherAnswers) {
    LoadedPlugin p;
    VstHost& h = p.host;
    EXPECT_EQ(Text(h, effGetEffectName), "Ferrovane");
    EXPECT_EQ(Text(h, effGetProductString), "Ferrovane");
    EXPECT_FALSE(Text(h, effGetVendorString).empty());
    EXPECT_EQ(h.Dispatch(effGetVendorVersion), 101);
    EXPECT_EQ(h.Dispatch(effGetVstVersion), 2300);
    EXPECT_EQ(h.Dispatch(effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(h.Dispatch(effIdentify), 0x4E764566); // 'NvEf'
    EXPECT_EQ(h.Dispatch(effKeysRequired), 1);
    EXPECT_EQ(h.Dispatch(effGetTailSize), 0);
    EXPECT_EQ(h.Dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(h.Dispatch(effConnectInput, 0, 1), 1);
    EXPECT_EQ(h.Dispatch(effConnectOutput, 1, 0), 1);
    char pin[256] = {};
    EXPECT_EQ(h.Dispatch(effGetInputProperties, 0, 0, pin), 0);
    EXPECT_EQ(h.Dispatch(effGetOutputProperties, 0, 0, pin), 0);
    for (VstInt32 i : {0, 4, 99, -1})
        EXPECT_EQ(h.Dispatch(effCanBeAutomated, i), 1);
    EXPECT_EQ(h.Dispatch(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 1);
    EXPECT_EQ(h.Dispatch(effOpen), 0);
    EXPECT_EQ(h.Dispatch(effGetVu), 0);
    EXPECT_EQ(h.Dispatch(effEditIdle), 0);
    EXPECT_EQ(h.Dispatch(effNumOpcodes), 0);
    EXPECT_EQ(h.Dispatch(1000), 0);
}

TEST(Record, CanDoIsExactAndCaseSensitive) {
    LoadedPlugin p;
    auto ask = [&](std::string s) { return p.host.Dispatch(effCanDo, 0, 0, s.data()); };
    for (const char* yes : {"sendVstMidiEvent", "sendVstEvents", "receiveVstEvents",
                            "receiveVstMidiEvent", "receiveVstTimeInfo"})
        EXPECT_EQ(ask(yes), 1) << yes;
    for (const char* no : {"receiveVstTimeInfoX", "receivevsttimeinfo", "sendVstEvent",
                           "SendVstEvents", "", "bypass", "offline", "receiveVstTimeInf"})
        EXPECT_EQ(ask(no), -1) << no;
    EXPECT_EQ(p.host.Dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST(Record, EditorRectangleWithAndWithoutPointer) {
    LoadedPlugin p;
    EXPECT_EQ(p.host.Dispatch(effEditGetRect, 0, 0, nullptr), 0);
    ERect* rect = nullptr;
    VstIntPtr answer = p.host.Dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(answer, reinterpret_cast<VstIntPtr>(rect));
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 425);
    EXPECT_EQ(rect->right, 307);
    // No window to open into; closing an editor that never opened is harmless.
    EXPECT_EQ(p.host.Dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(p.host.Dispatch(effEditClose), 1);
}

TEST(Record, SampleRateAndBlockSizeBeforeOpen) {
    DirectPlugin p;
    p.host.Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    p.host.Dispatch(effSetBlockSize, 0, 64);
    EXPECT_EQ(p.plugin->getSampleRate(), 96000.0f);
    EXPECT_EQ(p.plugin->getBlockSize(), 64);
    p.host.Dispatch(effSetBlockSizeAndSampleRate, 0, 128, nullptr, 22050.0f);
    EXPECT_EQ(p.plugin->getSampleRate(), 22050.0f);
    EXPECT_EQ(p.plugin->getBlockSize(), 128);
}

// Every opcode with null pointers, absurd indices and values must give an answer, not a crash.
TEST(Record, EveryOpcodeSurvivesNullAndOutOfRangeArguments) {
    LoadedPlugin p;
    for (VstInt32 op = -2; op < effNumOpcodes + 3; ++op) {
        if (op == effClose) continue;
        for (VstInt32 index : {-1, 0, 5, 128, 1 << 30})
            for (VstIntPtr value : {VstIntPtr(-1), VstIntPtr(0), VstIntPtr(127), VstIntPtr(128)})
                p.host.Dispatch(op, index, value, nullptr, 0.5f);
    }
    EXPECT_EQ(Text(p.host, effGetProductString), "Ferrovane");
}

TEST(Record, OneEntryTwoNamesAndNullCallbackRefused) {
    VstHost host;
    ASSERT_TRUE(host.Load(FERROVANE_PLUGIN_PATH)) << host.Error();
    void* lib = dlopen(FERROVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    ASSERT_NE(lib, nullptr);
    void* main = dlsym(lib, "main");
    EXPECT_EQ(main, dlsym(lib, "VSTPluginMain"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(reinterpret_cast<AEffect* (*)(audioMasterCallback)>(main)(nullptr), nullptr);
    dlclose(lib);
}

TEST(Record, HostWithoutVst2GetsNothing) {
    HostAnswers answers;
    answers.vstVersion = 0;
    VstHost host(answers);
    ASSERT_TRUE(host.Load(FERROVANE_PLUGIN_PATH));
    EXPECT_EQ(host.Instantiate(), nullptr);
}

TEST(Record, InstancesAreIndependent) {
    LoadedPlugin a, b;
    a.host.Dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(a.host.Dispatch(effGetProgram), 7);
    EXPECT_EQ(b.host.Dispatch(effGetProgram), 0);
}

} // namespace
} // namespace ferrovane::test
