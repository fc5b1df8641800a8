#include "SSystemData.h"

#include <atomic>

namespace zell::system {

namespace {

std::atomic<SDisplayQuery> displayQuery{nullptr};

constexpr const char* kRule40 = "========================================";
constexpr const char* kRule39 = "=======================================";

const char* Availability(bool available) {
    return available ? "available ]" : "not available ]";
}

void AppendFeature(SSystemData::Text& text, const char* name, bool available) {
    text.Append("\n[ ").Append(name).Append(": ").Append(Availability(available));
}

} // namespace

SSystemData::~SSystemData() = default;

void SSystemData::getOSInfos(const SKernelFiles& files) {
    if (!os.QueryFeatures(files)) return;
    osText = os.text;
    kernelOk = os.kernelOk;
}

void SSystemData::getCPUInfos(const char* cpuinfo) {
    cpu.QueryRegistry(cpuinfo);
    mhz = cpu.mhz;
    reserved = cpu.reserved;
    count = cpu.count;
    cpuText = "CPU Type: ";
    cpuText.Append(cpu.vendor);
    if (cpu.model[0]) cpuText.Append("\nCPU Model: ").Append(cpu.model);
    cpuText.Append("\nCPU Count: ").Append(32, "%i", count);
    hasMMX = cpu.features & SProcessorData::kMMX;
    hasSSE = cpu.features & SProcessorData::kSSE;
    hasSSE2 = cpu.features & SProcessorData::kSSE2;
    has3DNow = cpu.features & SProcessorData::k3DNow;
}

void SSystemData::SetDisplayQuery(SDisplayQuery query) {
    displayQuery = query;
}

void SSystemData::getDisplayInfos() {
    SDisplayQuery query = displayQuery;
    if (displays || !query) return;
    displays = std::make_unique<std::vector<SDisplayRect>>();
    query(*displays);
}

bool SSystemData::Qualifies(bool needSSE, bool needSSE2) const {
    if (needSSE2) return kernelOk && hasMMX && hasSSE && hasSSE2;
    if (needSSE) return kernelOk && hasMMX && hasSSE;
    return kernelOk && hasMMX;
}

SSystemData::Text SSystemData::ErrorMessage(bool needSSE, bool needSSE2) const {
    Text text;
    text.Append(kRule40).Append("\n\nE R R O R\n\n");
    text.Append("This Computer doesn't meet\n").Append("the following necessary reqs\n");
    text.Append("to operate this software:\n");
    if (!kernelOk && osText.Length() > 0) text.Append(osText.Text());
    text.Append("\n");
    if (!hasMMX) text.Append("\nMMX: not available.");
    if (needSSE && !hasSSE) text.Append("\nSSE: not available.");
    if (needSSE2 && !hasSSE2) text.Append("\nSSE2: not available.");
    text.Append("\n\n").Append(kRule39).Append("\n");
    return text;
}

SSystemData::Text SSystemData::FeatureMessage() const {
    Text text;
    text.Append(kRule40).Append("\nS Y S T E M\n\n").Append(kRule40).Append("\n");
    text.Append(osText.Text()).Append("\n---------------------------------------");
    text.Append(cpuText.Text());
    AppendFeature(text, "MMX", hasMMX);
    AppendFeature(text, "SSE", hasSSE);
    AppendFeature(text, "SSE2", hasSSE2);
    if (displays) {
        int number = 0;
        for (const SDisplayRect& d : *displays) {
            text.Append("\nDisplay ").Append(32, "%i", number++).Append(": ");
            text.Append(32, "%i", d.width).Append(" x ").Append(32, "%i", d.height);
            text.Append(" @ [X=").Append(32, "%i", d.x).Append(", Y=").Append(32, "%i", d.y);
        }
    }
    text.Append("\nestimation (due to lack of information): ");
    text.Append(32, "%i", count).Append(" x ").Append(32, "%i", mhz).Append(" MHz");
    text.Append("\n").Append(kRule40).Append("\n");
    return text;
}

namespace {

// Filled in the order the load-time check expects.
struct ProcessData : SSystemData {
    ProcessData() {
        getOSInfos();
        getCPUInfos();
        getDisplayInfos();
    }
};

} // namespace

SSystemData& sd() {
    static ProcessData data;
    return data;
}

} // namespace zell::system
