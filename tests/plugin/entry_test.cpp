// The entry's requirements check and refusal messages, on prepared machine descriptions.
#include "PluginEntry.h"
#include "SSystemData.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include "AudioEffectX.h"

#include <cstdio>
#include <fstream>
#include <new>
#include <string>
#include <unistd.h>

namespace ferrovane::test {
namespace {

using host::VstHost;

std::string Prepared(const std::string& name, const std::string& contents) {
    std::string path =
        std::string(FERROVANE_TEST_OUTPUT) + "/" + name + "-" + std::to_string(getpid());
    std::ofstream(path) << contents;
    return path;
}

// Processor flags that leave a machine without MMX. On x86_64 MMX comes with the architecture,
// so only an empty processor list (null) does.
#if defined(__x86_64__)
constexpr const char* kWithoutMMX = nullptr;
#else
constexpr const char* kWithoutMMX = "sse sse2";
#endif

struct Machine {
    Machine(const char* release, const char* flags) {
        zell::system::SKernelFiles files;
        ostype = Prepared("ostype", "Linux\n");
        osrelease = Prepared("osrelease", release);
        files.ostype = ostype.c_str();
        files.osrelease = osrelease.c_str();
        files.version = "/nonexistent";
        cpuinfo = Prepared("cpuinfo", flags ? std::string("processor\t: 0\nvendor_id\t: "
                                                          "GenuineIntel\nflags\t\t: fpu ") +
                                                  flags + "\n"
                                            : std::string());
        system.getOSInfos(files);
        system.getCPUInfos(cpuinfo.c_str());
    }
    ~Machine() {
        unlink(ostype.c_str());
        unlink(osrelease.c_str());
        unlink(cpuinfo.c_str());
    }
    std::string ostype, osrelease, cpuinfo;
    zell::system::SSystemData system;
};

// Instantiates through the entry with a host callback, capturing what the user is told.
std::string Refusal(VstHost& host, const zell::system::SSystemData& system, AEffect*& effect) {
    static const zell::system::SSystemData* machine;
    machine = &system;
    testing::internal::CaptureStderr();
    effect = host.Create([](audioMasterCallback cb, void*) { return CreatePlugin(cb, *machine); },
                         nullptr);
    return testing::internal::GetCapturedStderr();
}

TEST(Entry, MachineBelowTheRequirementsIsRefusedWithItsMessage) {
    for (auto [release, flags] :
         {std::pair{"2.4.37\n", "mmx sse"}, std::pair{"5.10.0\n", kWithoutMMX}}) {
        Machine m(release, flags);
        AEffect* effect = reinterpret_cast<AEffect*>(1);
        VstHost host;
        std::string said = Refusal(host, m.system, effect);
        EXPECT_EQ(effect, nullptr);
        EXPECT_NE(said.find("Failed to load plugin"), std::string::npos) << said;
        EXPECT_NE(said.find("(Reason: System not supported"), std::string::npos) << said;
        EXPECT_NE(said.find("Please check the requirements)"), std::string::npos) << said;
    }
}

TEST(Entry, QualifyingMachineGetsThePlugin) {
    Machine m("3.10.0\n", "mmx");
    AEffect* effect = nullptr;
    VstHost host;
    EXPECT_EQ(Refusal(host, m.system, effect), "");
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numPrograms, 128);
}

TEST(Entry, RefusalTexts) {
    char text[256];
    LoadFailureText(text, sizeof text, 3, true, "Usine");
    EXPECT_STREQ(text, "Failed to load plugin\n(Reason: Host not supported (Usine))");
    LoadFailureText(text, sizeof text, 2, false, "");
    EXPECT_STREQ(
        text,
        "Failed to load plugin\n(Reason: System not supported\nPlease check the requirements)");
    LoadFailureText(text, sizeof text, 7, true, "");
    EXPECT_EQ(std::string(text).rfind(
                  "Failed to load plugin\n(Reason: Internal Error\nPlease report to \n", 0),
              0u);
    LoadFailureText(text, sizeof text, 0, false, "");
    EXPECT_NE(std::string(text).find("Internal Error"), std::string::npos);
}

// A plugin whose operations all fail with an exception, as one that runs out of memory does.
class Failing : public AudioEffectX {
  public:
    explicit Failing(audioMasterCallback host) : AudioEffectX(host, 1, 1) {
        canDoubleReplacing(true);
    }
    VstIntPtr dispatcher(VstInt32, VstInt32, VstIntPtr, void*, float) override { Fail(); }
    void process(float**, float**, VstInt32) override { Fail(); }
    void processReplacing(float**, float**, VstInt32) override { Fail(); }
    void processDoubleReplacing(double**, double**, VstInt32) override { Fail(); }
    void setParameter(VstInt32, float) override { Fail(); }
    float getParameter(VstInt32) override { Fail(); }

  private:
    [[noreturn]] static void Fail() { throw std::bad_alloc(); }
};

// No exception reaches the host, whichever entry it calls.
TEST(Entry, FailuresStayInsideThePlugin) {
    VstHost host;
    AEffect* e = host.Create(
        [](audioMasterCallback cb, void*) { return (new Failing(cb))->getAeffect(); }, nullptr);
    ASSERT_NE(e, nullptr);
    float samples[4] = {};
    float* channel[1] = {samples};
    double wide[4] = {};
    double* wideChannel[1] = {wide};
    EXPECT_NO_THROW(e->process(e, channel, channel, 4));
    EXPECT_NO_THROW(e->processReplacing(e, channel, channel, 4));
    EXPECT_NO_THROW(e->processDoubleReplacing(e, wideChannel, wideChannel, 4));
    EXPECT_NO_THROW(e->setParameter(e, 0, 0.5f));
    EXPECT_EQ(e->getParameter(e, 0), 0.0f);
    EXPECT_EQ(e->dispatcher(e, effGetProgram, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.Dispatch(effClose), 1) << "the failing close still ends the instance";
}

} // namespace
} // namespace ferrovane::test
