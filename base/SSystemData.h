#pragma once

#include "SOperatingSystemData.h"
#include "SProcessorData.h"
#include "datastring.h"

#include <memory>
#include <vector>

namespace zell::system {

// A monitor's rectangle on the screen.
struct SDisplayRect {
    int x, y, width, height;
};

// Fills monitors with the rectangles of every monitor; false when none can be told. The
// toolkit's display layer provides it through SSystemData::SetDisplayQuery.
using SDisplayQuery = bool (*)(std::vector<SDisplayRect>& monitors);

// The facts about the machine that the requirements check and the feature report use.
class SSystemData {
  public:
    using Text = data::datastring<32, char>;

    SSystemData() = default;
    SSystemData(const SSystemData&) = delete;
    SSystemData& operator=(const SSystemData&) = delete;
    ~SSystemData();

    void getOSInfos(const SKernelFiles& files = SKernelFiles());
    void getCPUInfos(const char* cpuinfo = SProcessorData::kCpuInfo);
    // Creates the monitor list once, through the display query. Until the toolkit installs
    // its query the list stays absent and the report names no monitor.
    void getDisplayInfos();
    static void SetDisplayQuery(SDisplayQuery query);

    // A kernel newer than 2.4 and MMX, plus SSE and SSE2 when asked.
    bool Qualifies(bool needSSE, bool needSSE2) const;
    // The report of what the machine lacks, and the report of what it has.
    Text ErrorMessage(bool needSSE, bool needSSE2) const;
    Text FeatureMessage() const;

    std::unique_ptr<std::vector<SDisplayRect>> displays; // once asked for
    int mhz = 0;
    int reserved = 0;
    int count = 0;
    bool hasSSE = false;
    bool hasSSE2 = false;
    bool hasMMX = false;
    bool has3DNow = false;
    bool kernelOk = false;
    Text cpuText;
    Text osText;
    SOperatingSystemData os;
    SProcessorData cpu;
};

// The process-wide system data, filled on the first call (operating system, processor, then
// displays). Safe to call from any thread.
SSystemData& sd();

} // namespace zell::system
