// The LV2 plugin's state: saved by lilv into a file and restored into a fresh instance, the same
// bytes as the VST 2.x bank chunk (so a bank routes the same in both formats), and what a
// restore does with what it is given.
#include "Lv2Router.h"

#include "Lv2StateFile.h"
#include "PluginParameters.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace ferrovane::test {
namespace {

using zell::threading::StoreRelaxed;

// Events that exercise every kind of cell: notes through two outputs, controllers through the
// filters, a program change routed, channel pressure, pitch bend.
const Lv2Events kTune = {Msg(0, {0x90, 60, 100}), Msg(1, {0x91, 62, 90}), Msg(2, {0xB0, 7, 64}),
                         Msg(3, {0xA1, 62, 10}),  Msg(4, {0xC2, 5}),      Msg(5, {0xD0, 33}),
                         Msg(6, {0xE3, 0, 64}),   Msg(7, {0x80, 60, 0}),  Msg(8, {0x81, 62, 0})};

std::vector<VSTPluginProgram> CustomBank() {
    std::vector<VSTPluginProgram> bank = Bank(Matrix({{0, 0, 0xFFFF},
                                                      {0, 4, kRouteNote | kRouteCC},
                                                      {1, 1, 0xFFFF},
                                                      {2, 9, kRouteProgramChange},
                                                      {3, 3, kRoutePitchBend}}));
    bank[2] = Matrix({{0, 11, 0xFFFF}, {1, 12, kRoutePolyAftertouch | kRouteNote}});
    StoreName(bank[2], "Split keyboard");
    bank[2].grid = 1;
    return bank;
}

// Every property the plugin stores, as a host's store function receives it.
struct Stored {
    LV2_URID type;
    uint32_t flags;
    std::vector<uint8_t> bytes;
};
std::map<LV2_URID, Stored> SaveProperties(Lv2Router& r) {
    std::map<LV2_URID, Stored> stored;
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(r.plugin.Instance(), LV2_STATE__interface));
    EXPECT_EQ(state->save(
                  r.plugin.Handle(),
                  [](LV2_State_Handle h, uint32_t key, const void* value, size_t size,
                     uint32_t type, uint32_t flags) {
                      const auto* bytes = static_cast<const uint8_t*>(value);
                      (*static_cast<std::map<LV2_URID, Stored>*>(h))[key] =
                          Stored{type, flags, std::vector<uint8_t>(bytes, bytes + size)};
                      return LV2_STATE_SUCCESS;
                  },
                  &stored, 0, r.world.Features()),
              LV2_STATE_SUCCESS);
    return stored;
}

TEST(Lv2State, SavedByLilvAndRestoredIntoAFreshInstanceRoutesTheSame) {
    Lv2Router a;
    ASSERT_EQ(a.Load(CustomBank(), 3), LV2_STATE_SUCCESS);
    a.Settle();
    StoreRelaxed(a.Engine().CurrentProgram().routing[3][3], kRoutePitchBend); // an edit as well
    const std::string folder = a.world.Scratch() + "/saved";
    const std::string file = a.plugin.Save(folder);
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    EXPECT_NE(text.str().find("ferrovane#bank"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("ferrovane#program"), std::string::npos);

    Lv2Router b;
    LilvState* state =
        lilv_state_new_from_file(b.world.World(), b.world.MapFeature(), nullptr, file.c_str());
    ASSERT_NE(state, nullptr);
    b.plugin.Restore(state);
    lilv_state_free(state);
    b.Settle();
    char name[64];
    b.Engine().getProgramName(name);
    EXPECT_STREQ(name, "Split keyboard");
    EXPECT_EQ(b.Engine().getParameter(kParamGrid), 1.0f);
    const Lv2Events expected = a.Play(kTune);
    EXPECT_EQ(Bytes(expected), (B{{0x9B, 60, 100},
                                  {0x9C, 62, 90},
                                  {0xBB, 7, 64},
                                  {0xAC, 62, 10},
                                  {0xDB, 33},
                                  {0xE3, 0, 64},
                                  {0x8B, 60, 0},
                                  {0x8C, 62, 0}}));
    EXPECT_EQ(b.Play(kTune), expected);
}

TEST(Lv2State, TheBankIsTheVstBankChunkAndRoutesTheSameInBothFormats) {
    Lv2Router lv2;
    const std::vector<VSTPluginProgram> bank = CustomBank();
    ASSERT_EQ(lv2.Load(bank, 1), LV2_STATE_SUCCESS);
    lv2.Settle();
    std::map<LV2_URID, Stored> stored = SaveProperties(lv2);
    const Stored& saved = stored[lv2.world.Map(lv2::kBankKey)];
    EXPECT_EQ(saved.type, lv2.world.Map(LV2_ATOM__Chunk));
    EXPECT_EQ(saved.flags & (LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE),
              LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    const Stored& program = stored[lv2.world.Map(lv2::kProgramKey)];
    EXPECT_EQ(program.type, lv2.world.Map(LV2_ATOM__Int));
    EXPECT_EQ(program.bytes, (std::vector<uint8_t>{1, 0, 0, 0}));

    LoadedPlugin vst;
    vst.host.Start();
    ASSERT_EQ(vst.host.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(saved.bytes.size()),
                                const_cast<uint8_t*>(saved.bytes.data())),
              1);
    void* chunk = nullptr;
    const VstIntPtr size = vst.host.Dispatch(effGetChunk, 0, 0, &chunk);
    ASSERT_EQ(static_cast<size_t>(size), saved.bytes.size());
    EXPECT_EQ(memcmp(chunk, saved.bytes.data(), saved.bytes.size()), 0);
    EXPECT_EQ(memcmp(chunk, bank.data(), saved.bytes.size()), 0) << "the bank as it was loaded";
    vst.host.Process({}, 256);
    vst.host.Process({}, 256);

    std::vector<VstMidiEvent> in;
    for (const Lv2Event& e : kTune)
        in.push_back(MidiEvent(e.bytes[0], e.bytes[1], e.bytes.size() > 2 ? e.bytes[2] : 0,
                               static_cast<VstInt32>(e.frame)));
    Lv2Events fromVst;
    for (const VstMidiEvent& e : vst.host.Process(in, 256)) {
        const auto status = static_cast<uint8_t>(e.midiData[0]);
        std::vector<uint8_t> bytes(e.midiData, e.midiData + ChannelMessageSize(status));
        fromVst.push_back({static_cast<uint32_t>(e.deltaFrames), bytes});
    }
    const Lv2Events fromLv2 = lv2.Play(kTune);
    EXPECT_EQ(fromLv2, fromVst);
    EXPECT_EQ(fromLv2.size(), 12u);
}

// `size` bytes holding 128 records of `recordSize` bytes, each the first bytes of `p`.
std::vector<uint8_t> Records(size_t size, int recordSize, const VSTPluginProgram& p) {
    std::vector<uint8_t> bytes(size, 0);
    for (int i = 0; i < kNumPrograms; ++i)
        memcpy(bytes.data() + i * recordSize, &p, static_cast<size_t>(recordSize));
    return bytes;
}

TEST(Lv2State, OlderAndNewerBanksLoadAndWhatIsNotABankChangesNothing) {
    Lv2Router r;
    const LV2_URID bankKey = r.world.Map(lv2::kBankKey);
    const LV2_URID chunkType = r.world.Map(LV2_ATOM__Chunk);
    const std::vector<uint8_t> older =
        Records(kOldBankSize, kOldProgramSize, Matrix({{0, 6, 0xFFFF}}));
    ASSERT_EQ(r.RestoreProperties({{bankKey, older.data(), older.size(), chunkType}}),
              LV2_STATE_SUCCESS);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB6, 1, 1}}));

    std::vector<uint8_t> refused(kBankSize - 1, 0);
    EXPECT_NE(r.RestoreProperties({{bankKey, refused.data(), refused.size(), chunkType}}),
              LV2_STATE_SUCCESS);
    EXPECT_EQ(
        r.RestoreProperties({{bankKey, older.data(), older.size(), r.world.Map(LV2_ATOM__String)}}),
        LV2_STATE_ERR_BAD_TYPE);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB6, 1, 1}})) << "nothing changed";
    EXPECT_EQ(r.RestoreProperties({}), LV2_STATE_SUCCESS) << "an empty state keeps everything";
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB6, 1, 1}}));

    const std::vector<uint8_t> newer =
        Records(kBankSize + 100, kProgramSize, Matrix({{0, 8, 0xFFFF}}));
    EXPECT_EQ(r.RestoreProperties({{bankKey, newer.data(), newer.size(), chunkType}}),
              LV2_STATE_SUCCESS);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB8, 1, 1}}));
}

// The host's program and option ports keep the values they had when the state was saved, or
// their defaults: the restored state names the program, and the next run does not undo it.
TEST(Lv2State, ARestoreIsNotUndoneByThePortsTheHostLeftAsTheyWere) {
    Lv2Router r;
    std::vector<VSTPluginProgram> bank = Bank();
    bank[4] = Matrix({{0, 1, 0xFFFF}});
    ASSERT_EQ(r.Load(bank, 5), LV2_STATE_SUCCESS);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB1, 1, 1}}));
    r.plugin.Set("program", 2.0f); // a change of the port: the host's choice
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB0, 1, 1}}));
}

// ferrovane-host reads a state lilv saved, and lilv (the host library of jalv, Ardour and
// Carla) reads what ferrovane-host writes, as a file and as a preset bundle.
TEST(Lv2State, TheStandInHostReadsAndWritesStatesLilvReads) {
    Lv2Router saved;
    const std::vector<VSTPluginProgram> bank = CustomBank();
    ASSERT_EQ(saved.Load(bank, 3), LV2_STATE_SUCCESS);
    saved.plugin.Set("grid", 1.0f);
    saved.Settle();
    host::Lv2State read;
    std::string error;
    ASSERT_TRUE(
        host::ReadLv2State(saved.plugin.Save(saved.world.Scratch() + "/by-lilv"), read, error))
        << error;
    ASSERT_EQ(read.bank.size(), static_cast<size_t>(kBankSize));
    EXPECT_EQ(memcmp(read.bank.data(), bank.data(), kProgramSize), 0) << "the first program";
    EXPECT_EQ(read.program, 3);

    read.label = "Split keyboard";
    read.options[1] = 1.0f;
    const std::string file = saved.world.Scratch() + "/written.ttl";
    const std::string bundle = saved.world.Scratch() + "/written.lv2";
    ASSERT_TRUE(host::WriteLv2State(file, read, error)) << error;
    ASSERT_TRUE(host::WriteLv2State(bundle, read, error)) << error;
    host::Lv2State again;
    ASSERT_TRUE(host::ReadLv2State(bundle, again, error)) << error;
    EXPECT_EQ(again.bank, read.bank);
    EXPECT_EQ(again.program, 3);

    const Lv2Events expected = saved.Play(kTune);
    for (const std::string& path : {file, bundle + "/bank.ttl"}) {
        Lv2Router restored;
        LilvState* state = lilv_state_new_from_file(
            restored.world.World(), restored.world.MapFeature(), nullptr, path.c_str());
        ASSERT_NE(state, nullptr) << path;
        EXPECT_STREQ(lilv_state_get_label(state), "Split keyboard");
        restored.plugin.Restore(state);
        lilv_state_free(state);
        EXPECT_EQ(restored.plugin.Get("grid"), 1.0f) << "the port values go with it";
        EXPECT_EQ(restored.plugin.Get("program"), 3.0f);
        restored.Settle();
        EXPECT_EQ(restored.Play(kTune), expected) << path;
    }
    EXPECT_FALSE(host::ReadLv2State(saved.world.Scratch() + "/path", again, error))
        << "a folder without Turtle files";
}

} // namespace
} // namespace ferrovane::test
