#include "SProcessorData.h"

#include "ProcText.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#if defined(__i386__)
#include <cpuid.h>
#endif

namespace zell::system {

namespace {

constexpr int kExamined = 2048;

struct FeatureName {
    const char* name;
    int bit;
};

// "sse2" also contains "sse", so SSE2 implies SSE.
constexpr FeatureName kFeatures[] = {
    {"mmx", SProcessorData::kMMX},
    {"3dnow", SProcessorData::k3DNow},
    {"sse", SProcessorData::kSSE},
    {"sse2", SProcessorData::kSSE2},
};

// Copies the rest of a "key : value" line (after the colon and one character) into out.
void LineValue(const char* line, char* out, size_t size) {
    out[0] = 0;
    const char* colon = strchr(line, ':');
    const char* end = strchr(line, '\n');
    if (!end) end = line + strlen(line);
    if (!colon || colon >= end) return;
    const char* value = colon + 1 < end ? colon + 2 : end;
    size_t length = static_cast<size_t>(end - value);
    if (length >= size) length = size - 1;
    memcpy(out, value, length);
    out[length] = 0;
}

} // namespace

bool SProcessorData::QueryFeatures(const char* path) {
    QueryRegistry(path);
    return true;
}

bool SProcessorData::QueryRegistry(const char* path) {
    mhz = reserved = features = 0;
    count = 0;
    vendor[0] = model[0] = 0;
    char text[kExamined + 1];
    int got = ReadOnce(path, text, sizeof text);
    if (got < 0) {
        fputs("Error: Reading /proc/cpuinfo failed (not found).\n", stderr);
        return false;
    }
    if (got == 0) {
        fputs("Error: Reading /proc/cpuinfo failed (no data).\n", stderr);
        return false;
    }
    if (const char* line = FindLine(text, "vendor_id")) sscanf(line, "vendor_id : %255s", vendor);
    if (const char* line = FindLine(text, "model name")) LineValue(line, model, sizeof model);
    if (const char* line = FindLine(text, "cpu MHz")) {
        char value[64];
        LineValue(line, value, sizeof value);
        mhz = static_cast<int>(std::lround(ParseDecimal(value)));
    }
    for (const FeatureName& f : kFeatures)
        if (strstr(text, f.name)) features |= f.bit;
    AddArchitectureFeatures(text);
    ReadCount(text);
    return true;
}

void SProcessorData::ReadCount(const char* text) {
    if (const char* line = FindLine(text, "processor")) {
        if (sscanf(line, "processor : %i", &count) == 1 && count > 0) return;
    }
    count = 0;
    if (const char* line = FindLine(text, "cpu cores")) {
        if (sscanf(line, "cpu cores : %i", &count) == 1 && count > 0) return;
    }
    // No usable line: the machine's own count.
    count = OnlineCount();
}

// Under an emulator (Box64, FEX on ARM machines) the list describes the real processor, whose
// flags say nothing about the x86 processor the code runs on.
void SProcessorData::AddArchitectureFeatures(const char* text) {
#if defined(__x86_64__)
    (void)text;
    features |= kMMX; // part of the x86-64 architecture
#elif defined(__i386__)
    if (FindLine(text, "vendor_id")) return; // an x86 processor's list
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0, extendedEdx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return;
    __get_cpuid(0x80000001, &eax, &ebx, &ecx, &extendedEdx); // leaves 0 where it is missing
    features = FeaturesFromCpuid(edx, extendedEdx);
#else
    (void)text;
#endif
}

int SProcessorData::FeaturesFromCpuid(unsigned int edx, unsigned int extendedEdx) {
    int found = 0;
    if (edx & (1u << 23)) found |= kMMX;
    if (edx & (1u << 25)) found |= kSSE;
    if (edx & (1u << 26)) found |= kSSE2;
    if (extendedEdx & (1u << 31)) found |= k3DNow;
    return found;
}

int SProcessorData::RefineCount(int online, unsigned int eax, unsigned int ebx, unsigned int edx) {
    unsigned int family = (eax >> 8) & 0xF;
    bool hyperThreading = (edx >> 28) & 1;
    int logical = static_cast<int>((ebx >> 16) & 0xFF);
    if (family >= 15 && hyperThreading && logical >= 2) return logical;
    return online;
}

int SProcessorData::OnlineCount() {
    long online = sysconf(_SC_NPROCESSORS_ONLN);
    int count = online > 0 ? static_cast<int>(online) : 1;
#if defined(__i386__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) count = RefineCount(count, eax, ebx, edx);
#endif
    return count;
}

} // namespace zell::system
