#include "ProcText.h"
#include "SSystemData.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using zell::system::SKernelFiles;
using zell::system::SOperatingSystemData;
using zell::system::SProcessorData;
using zell::system::SSystemData;

namespace {

// On x86_64 MMX is part of the architecture, whatever the processor list says.
#if defined(__x86_64__)
constexpr int kArchitectureMMX = SProcessorData::kMMX;
#else
constexpr int kArchitectureMMX = 0;
#endif

// The processor list of an ARM machine, as an x86 emulator there (Box64, FEX) shows it.
constexpr const char* kArmCpuInfo = "processor\t: 0\n"
                                    "BogoMIPS\t: 108.00\n"
                                    "Features\t: fp asimd evtstrm aes pmull sha1 sha2 crc32 "
                                    "atomics fphp asimdhp cpuid asimdrdm lrcpc dcpop asimddp\n"
                                    "CPU implementer\t: 0x41\n"
                                    "CPU architecture: 8\n"
                                    "CPU variant\t: 0x3\n"
                                    "CPU part\t: 0xd0c\n"
                                    "CPU revision\t: 1\n\n";

// A processor list in the layout of a current x86 kernel.
std::string CpuInfo(const std::string& processor, const std::string& extra,
                    const std::string& flags) {
    return "processor\t: " + processor +
           "\n"
           "vendor_id\t: GenuineIntel\n"
           "cpu family\t: 6\n"
           "model name\t: Intel(R) Core(TM) i5 CPU @ 2.40GHz\n"
           "cpu MHz\t\t: 2394.567\n" +
           extra + "flags\t\t: " + flags + "\n";
}

struct Kernel {
    TempDir dir;
    SKernelFiles files;
    std::string ostype, osrelease, version;
    explicit Kernel(const std::string& release) {
        ostype = dir.Write("ostype", "Linux\n");
        osrelease = dir.Write("osrelease", release + "\n");
        version = dir.Write("version", "#1 SMP\n");
        files.ostype = ostype.c_str();
        files.osrelease = osrelease.c_str();
        files.version = version.c_str();
    }
};

bool KernelOk(const std::string& release) {
    Kernel k(release);
    SOperatingSystemData os;
    EXPECT_TRUE(os.QueryFeatures(k.files));
    return os.kernelOk;
}

} // namespace

TEST(KernelCheck, ReleasesNewerThan24Qualify) {
    EXPECT_FALSE(KernelOk("2.4.37"));
    EXPECT_FALSE(KernelOk("2.2.26"));
    EXPECT_TRUE(KernelOk("2.6.9"));
    EXPECT_TRUE(KernelOk("3.10.0-1160.el7.x86_64"));
    EXPECT_TRUE(KernelOk("6.1.0-18-amd64"));
    EXPECT_FALSE(KernelOk("garbage"));
}

TEST(KernelCheck, TextAndMissingOrOversizedFiles) {
    Kernel k("2.6.32");
    SOperatingSystemData os;
    os.QueryFeatures(k.files);
    EXPECT_STREQ(os.text, "Linux\n2.6.32\n#1 SMP\n");

    // An unreadable release is left out and does not fail the kernel.
    std::string missing = k.dir / "missing";
    k.files.osrelease = missing.c_str();
    std::string huge = k.dir.Write("huge", std::string(4096, 'v'));
    k.files.version = huge.c_str();
    os.QueryFeatures(k.files);
    EXPECT_TRUE(os.kernelOk);
    EXPECT_TRUE(os.valid);
    EXPECT_STREQ(os.text, "Linux\n");

    // The text stays within its field.
    std::string longer = k.dir.Write("long", std::string(300, 'x'));
    k.files.ostype = longer.c_str();
    os.QueryFeatures(k.files);
    EXPECT_EQ(std::string(os.text), std::string(255, 'x'));
}

TEST(ProcessorQuery, FieldsFeaturesAndCount) {
    TempDir dir;
    std::string path = dir.Write("cpuinfo", CpuInfo("3", "", "fpu mmx sse sse2 ssse3"));
    SProcessorData cpu;
    ASSERT_TRUE(cpu.QueryRegistry(path.c_str()));
    EXPECT_STREQ(cpu.vendor, "GenuineIntel");
    EXPECT_STREQ(cpu.model, "Intel(R) Core(TM) i5 CPU @ 2.40GHz");
    EXPECT_EQ(cpu.mhz, 2395);
    EXPECT_EQ(cpu.features, SProcessorData::kMMX | SProcessorData::kSSE | SProcessorData::kSSE2);
    EXPECT_EQ(cpu.count, 3);

    path = dir.Write("cpuinfo", CpuInfo("0", "cpu cores\t: 4\n", "fpu mmx 3dnow"));
    ASSERT_TRUE(cpu.QueryRegistry(path.c_str()));
    EXPECT_EQ(cpu.count, 4);
    EXPECT_EQ(cpu.features, SProcessorData::kMMX | SProcessorData::k3DNow);

    path = dir.Write("cpuinfo", CpuInfo("0", "", "mmx"));
    ASSERT_TRUE(cpu.QueryRegistry(path.c_str()));
    EXPECT_EQ(cpu.count, SProcessorData::OnlineCount());
    EXPECT_GE(cpu.count, 1);
}

TEST(ProcessorQuery, OnlyTheFirst2048BytesCount) {
    TempDir dir;
    std::string padding = "bogomips\t: " + std::string(2100, '1') + "\n";
    std::string path = dir.Write("cpuinfo", CpuInfo("1", padding, "mmx sse sse2"));
    SProcessorData cpu;
    ASSERT_TRUE(cpu.QueryRegistry(path.c_str()));
    EXPECT_EQ(cpu.features, kArchitectureMMX);
    EXPECT_STREQ(cpu.vendor, "GenuineIntel");
}

TEST(ProcessorQuery, MissingOrEmptyListGivesNothing) {
    TempDir dir;
    SProcessorData cpu;
    std::string path = dir.Write("cpuinfo", CpuInfo("2", "", "mmx"));
    ASSERT_TRUE(cpu.QueryRegistry(path.c_str()));
    testing::internal::CaptureStderr();
    std::string missing = dir / "none";
    EXPECT_FALSE(cpu.QueryRegistry(missing.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Reading /proc/cpuinfo failed (not found).\n");
    EXPECT_EQ(cpu.count, 0);
    EXPECT_EQ(cpu.features, 0);
    std::string empty = dir.Write("empty", "");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(cpu.QueryRegistry(empty.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Reading /proc/cpuinfo failed (no data).\n");
    EXPECT_TRUE(cpu.QueryFeatures(empty.c_str()));
}

TEST(ProcessorQuery, UnderAnEmulatorTheX86ProcessorCounts) {
    TempDir dir;
    std::string path = dir.Write("cpuinfo", kArmCpuInfo);
    SProcessorData cpu;
    ASSERT_TRUE(cpu.QueryRegistry(path.c_str()));
    EXPECT_TRUE(cpu.features & SProcessorData::kMMX); // by architecture, or as CPUID reports
    EXPECT_EQ(cpu.count, SProcessorData::OnlineCount());

    Kernel k("6.1.0-18-arm64");
    SSystemData data;
    data.getOSInfos(k.files);
    data.getCPUInfos(path.c_str());
    EXPECT_TRUE(data.Qualifies(false, false));

    const unsigned int mmx = 1u << 23, sse = 1u << 25, sse2 = 1u << 26, amd3DNow = 1u << 31;
    EXPECT_EQ(SProcessorData::FeaturesFromCpuid(mmx | sse | sse2, amd3DNow),
              SProcessorData::kMMX | SProcessorData::kSSE | SProcessorData::kSSE2 |
                  SProcessorData::k3DNow);
    EXPECT_EQ(SProcessorData::FeaturesFromCpuid(mmx, 0), SProcessorData::kMMX);
    EXPECT_EQ(SProcessorData::FeaturesFromCpuid(~(mmx | sse | sse2), ~amd3DNow), 0);
}

TEST(ProcessorQuery, CpuidRefinementRule) {
    const unsigned int family15 = 0xF << 8, family6 = 0x6 << 8;
    const unsigned int ht = 1u << 28, logical4 = 4u << 16, logical1 = 1u << 16;
    EXPECT_EQ(SProcessorData::RefineCount(1, family15, logical4, ht), 4);
    EXPECT_EQ(SProcessorData::RefineCount(1, family6, logical4, ht), 1);
    EXPECT_EQ(SProcessorData::RefineCount(2, family15, logical4, 0), 2);
    EXPECT_EQ(SProcessorData::RefineCount(2, family15, logical1, ht), 2);
}

TEST(ProcessorQuery, DecimalsIgnoreTheLocaleAndLinesStartAtKeys) {
    EXPECT_DOUBLE_EQ(zell::system::ParseDecimal("2.6.18"), 2.6);
    EXPECT_DOUBLE_EQ(zell::system::ParseDecimal(" 1995.5"), 1995.5);
    EXPECT_EQ(zell::system::ParseDecimal("x"), 0);
    EXPECT_EQ(zell::system::ParseDecimal(nullptr), 0);
    const char* text = "a: model\nmodel name: x";
    EXPECT_EQ(zell::system::FindLine(text, "model"), text + 9);
    EXPECT_EQ(zell::system::FindLine(text, "zzz"), nullptr);
}

TEST(SystemCheck, QualifiesAndMessages) {
    Kernel k("2.4.37");
    TempDir dir;
    std::string path = dir.Write("cpuinfo", CpuInfo("1", "", "fpu sse"));
    SSystemData data;
    data.getOSInfos(k.files);
    data.getCPUInfos(path.c_str());
    EXPECT_FALSE(data.kernelOk);
    EXPECT_TRUE(data.hasSSE);
    EXPECT_EQ(data.hasMMX, kArchitectureMMX != 0);
    EXPECT_FALSE(data.Qualifies(false, false));
    EXPECT_STREQ(data.cpuText.Text(), "CPU Type: GenuineIntel\nCPU Model: Intel(R) Core(TM) i5 "
                                      "CPU @ 2.40GHz\nCPU Count: 1");
    std::string rule40(40, '='), rule39(39, '=');
    EXPECT_EQ(std::string(data.ErrorMessage(true, true).Text()),
              rule40 +
                  "\n\nE R R O R\n\nThis Computer doesn't meet\nthe following necessary "
                  "reqs\nto operate this software:\nLinux\n2.4.37\n#1 SMP\n\n" +
                  (kArchitectureMMX ? "" : "\nMMX: not available.") + "\nSSE2: not available.\n\n" +
                  rule39 + "\n");

    Kernel modern("3.10.0");
    path = dir.Write("cpuinfo", CpuInfo("1", "", "mmx"));
    data.getOSInfos(modern.files);
    data.getCPUInfos(path.c_str());
    EXPECT_TRUE(data.Qualifies(false, false)); // whatever SSE says
    EXPECT_FALSE(data.Qualifies(true, false));
    EXPECT_FALSE(data.Qualifies(false, true));
    std::string report = data.FeatureMessage().Text();
    EXPECT_EQ(report.find(rule40 + "\nS Y S T E M\n\n"), 0u);
    EXPECT_NE(report.find("\n[ MMX: available ]\n[ SSE: not available ]\n[ SSE2: not available ]"),
              std::string::npos);
    EXPECT_EQ(report.find("\nDisplay "), std::string::npos); // no display query installed
    EXPECT_EQ(report.substr(report.size() - 42), "\n" + rule40 + "\n");
}

TEST(SystemCheck, DisplaysComeFromTheInstalledQuery) {
    SSystemData data;
    data.getDisplayInfos();
    EXPECT_EQ(data.displays, nullptr);
    SSystemData::SetDisplayQuery([](std::vector<zell::system::SDisplayRect>& out) {
        out.push_back({0, 0, 1920, 1080});
        out.push_back({1920, 0, 1280, 1024});
        return true;
    });
    data.getDisplayInfos();
    ASSERT_NE(data.displays, nullptr);
    std::string report = data.FeatureMessage().Text();
    EXPECT_NE(report.find("\nDisplay 1: 1280 x 1024 @ [X=1920, Y=0"), std::string::npos);
    SSystemData::SetDisplayQuery(nullptr);
}

TEST(SystemCheck, ProcessWideDataIsFilledOnce) {
    SSystemData& a = zell::system::sd();
    EXPECT_EQ(&a, &zell::system::sd());
    EXPECT_TRUE(a.os.valid);
    EXPECT_GE(a.count, 1);
}
