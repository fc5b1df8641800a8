// The bank of programs and the five parameters, as a host drives them.
#include "PluginHarness.h"

namespace ferrovane::test {
namespace {

std::string IndexedName(VstHost& h, VstInt32 index) {
    char name[256] = "untouched";
    h.Dispatch(effGetProgramNameIndexed, index, 0, name);
    return name;
}

TEST(Programs, FreshBankNamesAndIdentityRouting) {
    LoadedPlugin p;
    EXPECT_EQ(IndexedName(p.host, 0), "001 - empty preset");
    EXPECT_EQ(IndexedName(p.host, 9), "010 - empty preset");
    EXPECT_EQ(IndexedName(p.host, 99), "100 - empty preset");
    EXPECT_EQ(IndexedName(p.host, 127), "128 - empty preset");
    EXPECT_EQ(p.host.Dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);
    char name[256] = "untouched";
    EXPECT_EQ(p.host.Dispatch(effGetProgramNameIndexed, 128, 0, name), 0);
    EXPECT_EQ(p.host.Dispatch(effGetProgramNameIndexed, -1, 0, name), 0);
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(Text(p.host, effGetProgramName), "001 - empty preset");
}

TEST(Programs, SetProgramIgnoresOutOfRange) {
    LoadedPlugin p;
    p.host.Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(p.host.Dispatch(effGetProgram), 5);
    EXPECT_EQ(Text(p.host, effGetProgramName), "006 - empty preset");
    for (VstIntPtr bad : {VstIntPtr(-1), VstIntPtr(128), VstIntPtr(1000), VstIntPtr(-128)}) {
        p.host.Dispatch(effSetProgram, 0, bad);
        EXPECT_EQ(p.host.Dispatch(effGetProgram), 5) << bad;
    }
}

TEST(Programs, RenameKeeps47CharactersAndLeavesTheHostStringAlone) {
    LoadedPlugin p;
    // Read-only storage: writing into it would crash the test.
    static const char sixty[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz01234567";
    static_assert(sizeof sixty == 61);
    p.host.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(sixty));
    EXPECT_EQ(Text(p.host, effGetProgramName), std::string(sixty, 47));
    EXPECT_EQ(strlen(sixty), 60u);
    p.host.Dispatch(effSetProgram, 0, 3);
    std::string shortName = "Strings";
    p.host.Dispatch(effSetProgramName, 0, 0, shortName.data());
    EXPECT_EQ(Text(p.host, effGetProgramName), "Strings");
    EXPECT_EQ(IndexedName(p.host, 3), "Strings");
    EXPECT_EQ(IndexedName(p.host, 0), std::string(sixty, 47));
    p.host.Dispatch(effSetProgramName, 0, 0, nullptr);
    EXPECT_EQ(Text(p.host, effGetProgramName), "Strings");
}

TEST(Parameters, NamesDisplaysAndLabels) {
    LoadedPlugin p;
    const char* names[] = {"AC: Reset", "AC: Clear", "OP: Presetchange", "OP: Grid",
                           "OP: Highlight"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Text(p.host, effGetParamName, i), names[i]);
        EXPECT_EQ(Text(p.host, effGetParamDisplay, i), "Off");
        EXPECT_EQ(Text(p.host, effGetParamLabel, i), "");
    }
    for (int i : {5, 6, 7, 100, -1}) {
        EXPECT_EQ(Text(p.host, effGetParamName, i), "empty");
        EXPECT_EQ(Text(p.host, effGetParamDisplay, i), "empty");
        EXPECT_EQ(p.effect->getParameter(p.effect, i), 0.0f);
    }
}

TEST(Parameters, ResetIsMomentary) {
    LoadedPlugin p;
    VSTPluginProgram prog = DefaultProgram("cleared");
    ClearRouting(prog);
    prog.routing[2][9] = kRouteCC;
    prog.selectedIn = 2;
    prog.selectedOut = 9;
    prog.reserved = 77;
    prog.grid = 1;
    ASSERT_EQ(LoadProgramChunk(p.host, &prog, kProgramSize), 1);

    p.effect->setParameter(p.effect, 0, 1.0f);
    VSTPluginProgram after = CurrentProgramChunk(p.host);
    EXPECT_EQ(after.routing[2][9], 0);
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(after.routing[c][c], 0xFFFF);
    EXPECT_EQ(after.selectedIn, -1);
    EXPECT_EQ(after.selectedOut, -1);
    EXPECT_EQ(after.reserved, 77);
    EXPECT_EQ(after.grid, 1);
    EXPECT_STREQ(after.name, "cleared");
    EXPECT_EQ(p.effect->getParameter(p.effect, 0), 1.0f);
    EXPECT_EQ(Text(p.host, effGetParamDisplay, 0), "On");

    // A second 1.0 without a 0.0 in between does nothing.
    ASSERT_EQ(LoadProgramChunk(p.host, &prog, kProgramSize), 1);
    p.effect->setParameter(p.effect, 0, 1.0f);
    EXPECT_EQ(CurrentProgramChunk(p.host).routing[2][9], kRouteCC);
    p.effect->setParameter(p.effect, 0, 0.0f);
    EXPECT_EQ(CurrentProgramChunk(p.host).routing[2][9], kRouteCC);
    p.effect->setParameter(p.effect, 0, 0.9f);
    EXPECT_EQ(CurrentProgramChunk(p.host).routing[2][9], 0);
}

TEST(Parameters, ClearEmptiesOnlyTheCurrentProgram) {
    LoadedPlugin p;
    p.host.Dispatch(effSetProgram, 0, 4);
    VSTPluginProgram selected = DefaultProgram("selected");
    selected.selectedIn = 3;
    selected.selectedOut = 3;
    ASSERT_EQ(LoadProgramChunk(p.host, &selected, kProgramSize), 1);
    p.effect->setParameter(p.effect, 1, 1.0f);
    VSTPluginProgram cleared = CurrentProgramChunk(p.host);
    for (auto& row : cleared.routing)
        for (uint16_t cell : row)
            EXPECT_EQ(cell, 0);
    // The selected node is gone with its connection.
    EXPECT_EQ(cleared.selectedIn, -1);
    EXPECT_EQ(cleared.selectedOut, -1);
    EXPECT_STREQ(cleared.name, "selected");
    p.host.Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(CurrentProgramChunk(p.host).routing[0][0], 0xFFFF);
}

TEST(Parameters, OutOfRangeValuesAreIgnoredEntirely) {
    LoadedPlugin p;
    for (float bad : {1.5f, -0.1f, 2.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        p.effect->setParameter(p.effect, 0, bad);
        p.effect->setParameter(p.effect, 1, bad);
        p.effect->setParameter(p.effect, 2, bad);
    }
    EXPECT_EQ(p.effect->getParameter(p.effect, 0), 0.0f);
    EXPECT_EQ(p.effect->getParameter(p.effect, 2), 0.0f);
    EXPECT_EQ(CurrentProgramChunk(p.host).routing[3][3], 0xFFFF);
}

TEST(Parameters, OptionsAreWrittenIntoEveryProgram) {
    LoadedPlugin p;
    p.host.Dispatch(effSetProgram, 0, 40);
    p.effect->setParameter(p.effect, 2, 1.0f);
    p.effect->setParameter(p.effect, 4, 0.75f);
    for (VstIntPtr prog : {0, 40, 127}) {
        p.host.Dispatch(effSetProgram, 0, prog);
        EXPECT_EQ(p.effect->getParameter(p.effect, 2), 1.0f);
        EXPECT_EQ(p.effect->getParameter(p.effect, 3), 0.0f);
        EXPECT_EQ(p.effect->getParameter(p.effect, 4), 1.0f);
        EXPECT_EQ(Text(p.host, effGetParamDisplay, 2), "On");
    }
    void* bank = nullptr;
    ASSERT_EQ(p.host.Dispatch(effGetChunk, 0, 0, &bank), kBankSize);
    const auto* records = static_cast<const VSTPluginProgram*>(bank);
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(records[i].presetSwitching, 1);
        EXPECT_EQ(records[i].highlight, 1);
        EXPECT_EQ(records[i].grid, 0);
    }
}

// Program 0 decides whether an option write changes anything, whatever the current program says.
TEST(Parameters, OptionWriteComparesWithProgramZero) {
    LoadedPlugin p;
    p.host.Dispatch(effSetProgram, 0, 5);
    VSTPluginProgram prog = DefaultProgram("switching");
    prog.presetSwitching = 1;
    ASSERT_EQ(LoadProgramChunk(p.host, &prog, kProgramSize), 1);
    EXPECT_EQ(p.effect->getParameter(p.effect, 2), 1.0f);
    p.effect->setParameter(p.effect, 2, 0.0f);
    EXPECT_EQ(p.effect->getParameter(p.effect, 2), 1.0f);
    p.host.Dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(p.effect->getParameter(p.effect, 2), 0.0f);
    // Switching it on and off again now reaches program 5 as well.
    p.effect->setParameter(p.effect, 2, 1.0f);
    p.effect->setParameter(p.effect, 2, 0.0f);
    p.host.Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(p.effect->getParameter(p.effect, 2), 0.0f);
}

// Copy and paste are the editor's, reached on the object itself.
TEST(Clipboard, PasteBeforeCopyDoesNothingAndPasteKeepsTheName) {
    DirectPlugin p;
    RoutingEngine& v = p.plugin->Engine();
    v.pasteSelProgram();
    EXPECT_FALSE(v.ProgramChanged());
    EXPECT_FALSE(v.ClipboardFilled());

    VSTPluginProgram& src = v.CurrentProgram();
    src.routing[1][2] = kRoutePitchBend;
    src.selectedIn = 1;
    src.selectedOut = 2;
    src.grid = 1;
    src.reservedBytes[28] = 0x5A;
    v.copySelProgram();
    EXPECT_TRUE(v.ClipboardFilled());
    EXPECT_FALSE(v.ProgramChanged());

    p.host.Dispatch(effSetProgram, 0, 9);
    p.host.Dispatch(effMainsChanged, 0, 1);
    p.host.Process({}, 16); // the program change handshake runs over two blocks
    p.host.Process({}, 16);
    ASSERT_FALSE(v.ProgramChanged());
    v.pasteSelProgram();
    EXPECT_TRUE(v.ProgramChanged());
    const VSTPluginProgram& dst = v.CurrentProgram();
    EXPECT_STREQ(dst.name, "010 - empty preset");
    EXPECT_EQ(dst.routing[1][2], kRoutePitchBend);
    EXPECT_EQ(dst.selectedIn, 1);
    EXPECT_EQ(dst.selectedOut, 2);
    EXPECT_EQ(dst.grid, 1);
    EXPECT_EQ(dst.reservedBytes[28], 0x5A);
}

// effClose hands the object back through the trampoline, which deletes it.
TEST(Lifecycle, CloseDeletesThePluginObject) {
    static bool destroyed;
    destroyed = false;
    struct Watched : VSTPlugin {
        using VSTPlugin::VSTPlugin;
        ~Watched() override { destroyed = true; }
    };
    VstHost host;
    host.Create(
        [](audioMasterCallback cb, void*) {
            int err = 0;
            return (new Watched(cb, err))->getAeffect();
        },
        nullptr);
    EXPECT_EQ(host.Dispatch(effClose), 1);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(host.Effect(), nullptr);
}

TEST(Lifecycle, ResumeAsksForMidiAndRecordsTheDirectory) {
    HostAnswers answers;
    answers.directory = "/opt/plugins/lxvst/ferrovane.so";
    VstHost host(answers);
    VSTPlugin* plugin = nullptr;
    host.Create(
        [](audioMasterCallback cb, void* out) {
            int err = 0;
            auto* v = new VSTPlugin(cb, err);
            *static_cast<VSTPlugin**>(out) = v;
            return v->getAeffect();
        },
        &plugin);
    EXPECT_TRUE(plugin->IsSuspended());
    EXPECT_EQ(plugin->EffectName(), nullptr);
    host.Dispatch(effMainsChanged, 0, 1);
    EXPECT_FALSE(plugin->IsSuspended());
    EXPECT_EQ(host.CountCalls(audioMasterWantMidi), 1u);
    ASSERT_NE(plugin->Directory(), nullptr);
    EXPECT_STREQ(plugin->Directory(), "/opt/plugins/lxvst/");
    EXPECT_STREQ(plugin->EffectName(), "Ferrovane");
    const auto* name = plugin->EffectName();
    host.Dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(plugin->IsSuspended());
    host.Dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(plugin->EffectName(), name);      // made once
    EXPECT_STREQ(plugin->PluginHostName(), ""); // no editor: no host was recognised
}

} // namespace
} // namespace ferrovane::test
