#pragma once

namespace zell::system {

class SProcessorData {
  public:
    enum Feature { kMMX = 1, kSSE = 2, kSSE2 = 4, k3DNow = 8 };
    static constexpr const char* kCpuInfo = "/proc/cpuinfo";

    // Fills the record from the first 2048 bytes of the processor list at path. A missing or
    // empty list writes its error line to standard error, leaves no features and a count of 0,
    // and returns false. On x86_64 MMX is always present; on i386, when the list describes no x86
    // processor (an emulator shows the real one), the features are the ones CPUID reports.
    bool QueryRegistry(const char* path = kCpuInfo);
    // QueryRegistry, answering true.
    bool QueryFeatures(const char* path = kCpuInfo);

    // The number of online processors, refined on 32-bit x86 by CPUID leaf 1.
    static int OnlineCount();
    // The refinement: a family 15 or later processor reporting hyper-threading (edx bit 28)
    // and at least two logical processors (ebx bits 16-23) counts that many.
    static int RefineCount(int online, unsigned int eax, unsigned int ebx, unsigned int edx);
    // The feature bits of CPUID leaf 1 (edx: MMX 23, SSE 25, SSE2 26) and leaf 0x80000001
    // (edx: 3DNow 31).
    static int FeaturesFromCpuid(unsigned int edx, unsigned int extendedEdx);

    int count = 0;
    int mhz = 0;
    int reserved = 0;
    int features = 0;
    char vendor[256] = {};
    char model[256] = {};

  private:
    void ReadCount(const char* text);
    void AddArchitectureFeatures(const char* text);
};

} // namespace zell::system
