// Saving and restoring the bank and the current program as chunks, in every accepted size.
#include "PluginHarness.h"

namespace ferrovane::test {
namespace {

std::vector<unsigned char> BankBytes(VstHost& h) {
    void* data = nullptr;
    VstIntPtr size = h.Dispatch(effGetChunk, 0, 0, &data);
    EXPECT_EQ(size, kBankSize);
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

TEST(Chunks, FreshBankLayout) {
    LoadedPlugin p;
    std::vector<unsigned char> bank = BankBytes(p.host);
    ASSERT_EQ(bank.size(), 76544u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&bank[0]), "001 - empty preset");
    EXPECT_STREQ(reinterpret_cast<const char*>(&bank[598 * 127]), "128 - empty preset");
    for (int r = 0; r < 128; ++r) {
        const unsigned char* rec = &bank[598 * r];
        for (int in = 0; in < 16; ++in)
            for (int out = 0; out < 16; ++out) {
                int cell = rec[48 + 32 * in + 2 * out] | rec[49 + 32 * in + 2 * out] << 8;
                ASSERT_EQ(cell, in == out ? 0xFFFF : 0) << r << " " << in << " " << out;
            }
        for (int b = 560; b < 566; ++b)
            ASSERT_EQ(rec[b], 0xFF);
        for (int b = 566; b < 598; ++b)
            ASSERT_EQ(rec[b], 0);
    }
    EXPECT_EQ(p.host.Dispatch(effGetChunk, 0, 0, nullptr), 0);
    EXPECT_EQ(p.host.Dispatch(effGetChunk, 1, 0, nullptr), 0);
}

TEST(Chunks, BankRoundTripBetweenInstances) {
    LoadedPlugin a;
    a.host.Dispatch(effSetProgram, 0, 3);
    VSTPluginProgram prog = DefaultProgram("Keys to 5");
    prog.routing[0][4] = kRouteNote | kRouteCC;
    prog.highlight = 1;
    ASSERT_EQ(LoadProgramChunk(a.host, &prog, kProgramSize), 1);
    std::vector<unsigned char> saved = BankBytes(a.host);

    LoadedPlugin b;
    b.host.Dispatch(effSetProgram, 0, 9);
    EXPECT_EQ(b.host.Dispatch(effSetChunk, 0, saved.size(), saved.data()), 1);
    EXPECT_EQ(BankBytes(b.host), saved);
    EXPECT_EQ(b.host.Dispatch(effGetProgram), 9) << "the current index is not in the chunk";
    char name[64] = {};
    b.host.Dispatch(effGetProgramNameIndexed, 3, 0, name);
    EXPECT_STREQ(name, "Keys to 5");
}

TEST(Chunks, ReloadingTheLiveBankOnlyRaisesTheProgramChange) {
    DirectPlugin p;
    std::vector<unsigned char> before = BankBytes(p.host);
    EXPECT_FALSE(p.plugin->Engine().ProgramChanged());
    void* live = nullptr;
    p.host.Dispatch(effGetChunk, 0, 0, &live);
    EXPECT_EQ(p.host.Dispatch(effSetChunk, 0, kBankSize, live), 1);
    EXPECT_EQ(BankBytes(p.host), before);
    EXPECT_TRUE(p.plugin->Engine().ProgramChanged());
}

TEST(Chunks, ProgramChunkOptionsStayInThatProgram) {
    LoadedPlugin p;
    p.host.Dispatch(effSetProgram, 0, 6);
    VSTPluginProgram prog = DefaultProgram();
    prog.presetSwitching = 1;
    ASSERT_EQ(LoadProgramChunk(p.host, &prog, kProgramSize), 1);
    EXPECT_EQ(p.effect->getParameter(p.effect, 2), 1.0f);
    p.host.Dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(p.effect->getParameter(p.effect, 2), 0.0f);
}

TEST(Chunks, OlderFormatsKeepTheOptionBytes) {
    LoadedPlugin p;
    p.effect->setParameter(p.effect, 3, 1.0f); // grid on in every program
    VSTPluginProgram prog = DefaultProgram("old style");
    prog.routing[5][6] = kRoutePitchBend;
    prog.selectedIn = 5;
    prog.selectedOut = 6;
    prog.grid = 0;
    ASSERT_EQ(LoadProgramChunk(p.host, &prog, kOldProgramSize), 1);
    VSTPluginProgram now = CurrentProgramChunk(p.host);
    EXPECT_STREQ(now.name, "old style");
    EXPECT_EQ(now.routing[5][6], kRoutePitchBend);
    EXPECT_EQ(now.selectedIn, 5);
    EXPECT_EQ(now.grid, 1);

    std::vector<unsigned char> old(kOldBankSize);
    for (int i = 0; i < 128; ++i) {
        VSTPluginProgram rec = DefaultProgram("bank of old");
        rec.routing[0][0] = 0;
        memcpy(&old[566 * i], &rec, 566);
    }
    ASSERT_EQ(p.host.Dispatch(effSetChunk, 0, old.size(), old.data()), 1);
    std::vector<unsigned char> bank = BankBytes(p.host);
    for (int i = 0; i < 128; ++i) {
        EXPECT_STREQ(reinterpret_cast<const char*>(&bank[598 * i]), "bank of old");
        EXPECT_EQ(bank[598 * i + 48], 0);
        EXPECT_EQ(bank[598 * i + 567], 1) << "grid survives";
    }
}

TEST(Chunks, NewerFormatsLoadWhatFitsAndSaySo) {
    DirectPlugin p;
    std::vector<unsigned char> program(600, 0);
    VSTPluginProgram prog = DefaultProgram("from the future");
    memcpy(program.data(), &prog, sizeof prog);
    testing::internal::CaptureStderr();
    EXPECT_EQ(p.host.Dispatch(effSetChunk, 1, program.size(), program.data()), 1);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Failed to load program"), std::string::npos) << said;
    EXPECT_NE(said.find("Saved with newer version"), std::string::npos);
    EXPECT_NE(said.find("This version = 1.01"), std::string::npos);
    EXPECT_NE(said.find("Some settings will be lost !)"), std::string::npos);
    EXPECT_STREQ(CurrentProgramChunk(p.host).name, "from the future");

    std::vector<unsigned char> bank(kBankSize + 1000, 0);
    for (int i = 0; i < 128; ++i)
        memcpy(&bank[598 * i], &prog, sizeof prog);
    testing::internal::CaptureStderr();
    EXPECT_EQ(p.host.Dispatch(effSetChunk, 0, bank.size(), bank.data()), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Failed to load bank"),
              std::string::npos);
}

TEST(Chunks, RefusedSizesChangeNothing) {
    DirectPlugin p;
    std::vector<unsigned char> before = BankBytes(p.host);
    std::vector<unsigned char> junk(kBankSize + 10, 0xAB);
    for (VstIntPtr size : {VstIntPtr(0), VstIntPtr(1), VstIntPtr(565), VstIntPtr(567),
                           VstIntPtr(597), VstIntPtr(-598), VstIntPtr(-1)})
        EXPECT_EQ(p.host.Dispatch(effSetChunk, 1, size, junk.data()), 0) << size;
    for (VstIntPtr size :
         {VstIntPtr(598), VstIntPtr(72483), VstIntPtr(72485), VstIntPtr(76543), VstIntPtr(-76544)})
        EXPECT_EQ(p.host.Dispatch(effSetChunk, 0, size, junk.data()), 0) << size;
    EXPECT_EQ(p.host.Dispatch(effSetChunk, 0, kBankSize, nullptr), 0);
    EXPECT_EQ(p.host.Dispatch(effSetChunk, 1, kProgramSize, nullptr), 0);
    EXPECT_EQ(BankBytes(p.host), before);
    EXPECT_FALSE(p.plugin->Engine().ProgramChanged());
}

// Garbage of an accepted size loads as the format allows, and the result is still safe to use.
TEST(Chunks, GarbageOfAnAcceptedSizeStaysWithinTheRecord) {
    LoadedPlugin p;
    std::vector<unsigned char> junk(kBankSize, 0xAB);
    ASSERT_EQ(p.host.Dispatch(effSetChunk, 0, junk.size(), junk.data()), 1);
    char name[64];
    memset(name, 0x11, sizeof name);
    p.host.Dispatch(effGetProgramName, 0, 0, name);
    EXPECT_EQ(strlen(name), 47u) << "a name without NUL is cut at 47 characters";
    p.host.Start();
    p.host.Process({MidiEvent(0x90, 1, 1)}, 8);
    p.host.Process({}, 8);
    EXPECT_FALSE(p.host.Process({MidiEvent(0xB3, 1, 1)}, 8).empty());
}

} // namespace
} // namespace ferrovane::test
