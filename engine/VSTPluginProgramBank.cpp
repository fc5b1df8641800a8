#include "VSTPluginProgramBank.h"

#include "PluginMessage.h"
#include "Product.h"
#include "datastring.h"

#include <cstring>

namespace ferrovane {

namespace {

// Loads one record of `bytes` bytes (566 or 598) from unaligned chunk data.
void LoadRecord(VSTPluginProgram& dst, const unsigned char* src, int bytes) {
    VSTPluginProgram record;
    memcpy(&record, src, bytes);
    StoreRecord(dst, record, bytes);
}

} // namespace

int VSTPluginProgramBank::readProgram(const void* data, intptr_t size, int index) {
    if (!data || index < 0 || index >= kNumPrograms) return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (size == kOldProgramSize) {
        LoadRecord(programs[index], bytes, kOldProgramSize);
    } else if (size >= kProgramSize) {
        LoadRecord(programs[index], bytes, kProgramSize);
        if (size > kProgramSize) ShowNewerVersionMessage(false, kVendorVersion);
    } else {
        return 0;
    }
    return 1;
}

int VSTPluginProgramBank::readBank(const void* data, intptr_t size) {
    if (!data) return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (size == kOldBankSize) {
        for (size_t i = 0; i < kNumPrograms; ++i)
            LoadRecord(programs[i], bytes + kOldProgramSize * i, kOldProgramSize);
    } else if (size >= kBankSize) {
        for (size_t i = 0; i < kNumPrograms; ++i)
            LoadRecord(programs[i], bytes + kProgramSize * i, kProgramSize);
        if (size > kBankSize) ShowNewerVersionMessage(true, kVendorVersion);
    } else {
        return 0;
    }
    return 1;
}

void ShowNewerVersionMessage(bool bank, int vendorVersion) {
    zell::data::datastring<32, char> text(bank ? "Failed to load bank" : "Failed to load program");
    text.Append("\n(Reason: ").Append("Saved with newer version").Append("\nThis version = ");
    text.Append(32, "%.2f", 0.01 * vendorVersion);
    text.Append("\nSome settings will be lost !)");
    ShowPluginMessage(text.Text());
}

} // namespace ferrovane
