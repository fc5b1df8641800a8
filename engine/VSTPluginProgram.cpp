#include "VSTPluginProgram.h"

#include "Relaxed.h"

#include <cstring>

namespace ferrovane {

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

namespace {

void StoreBytes(uint8_t* dst, const uint8_t* src, int n) {
    for (int i = 0; i < n; ++i)
        StoreRelaxed(dst[i], src[i]);
}

void StoreRouting(VSTPluginProgram& dst, const VSTPluginProgram& src) {
    for (int in = 0; in < kChannels; ++in)
        for (int out = 0; out < kChannels; ++out)
            StoreRelaxed(dst.routing[in][out], src.routing[in][out]);
}

void StoreSelection(VSTPluginProgram& dst, const VSTPluginProgram& src) {
    StoreRelaxed(dst.selectedIn, src.selectedIn);
    StoreRelaxed(dst.selectedOut, src.selectedOut);
    StoreRelaxed(dst.reserved, src.reserved);
}

} // namespace

void SetIdentityRouting(VSTPluginProgram& p) {
    for (int in = 0; in < kChannels; ++in)
        for (int out = 0; out < kChannels; ++out)
            StoreRelaxed(p.routing[in][out], in == out ? kRouteConnected : 0);
}

void ClearRouting(VSTPluginProgram& p) {
    for (auto& row : p.routing)
        for (auto& cell : row)
            StoreRelaxed(cell, 0);
}

void SetProgramDefaults(VSTPluginProgram& p, const char* name) {
    SetIdentityRouting(p);
    StoreRelaxed(p.selectedIn, -1);
    StoreRelaxed(p.selectedOut, -1);
    StoreRelaxed(p.reserved, -1);
    uint8_t zero[kOptionBytes] = {};
    StoreBytes(&p.presetSwitching, zero, kOptionBytes);
    StoreName(p, name);
}

void StoreName(VSTPluginProgram& p, const char* name) {
    size_t n = strnlen(name, kNameLength - 1);
    for (size_t i = 0; i < kNameLength; ++i)
        StoreRelaxed(p.name[i], i < n ? name[i] : '\0');
}

void LoadName(const VSTPluginProgram& p, char* out) {
    for (int i = 0; i < kNameLength - 1; ++i) {
        out[i] = LoadRelaxed(p.name[i]);
        if (!out[i]) return;
    }
    out[kNameLength - 1] = 0;
}

void StoreRecord(VSTPluginProgram& dst, const VSTPluginProgram& src, int bytes) {
    // The name's bytes after its NUL carry no meaning; a name without NUL is cut at 47.
    char name[kNameLength];
    memcpy(name, src.name, kNameLength);
    name[kNameLength - 1] = 0;
    StoreName(dst, name);
    StoreRouting(dst, src);
    StoreSelection(dst, src);
    if (bytes >= kProgramSize) StoreBytes(&dst.presetSwitching, &src.presetSwitching, kOptionBytes);
}

void StoreBody(VSTPluginProgram& dst, const VSTPluginProgram& src) {
    StoreRouting(dst, src);
    StoreSelection(dst, src);
    StoreBytes(&dst.presetSwitching, &src.presetSwitching, kOptionBytes);
}

} // namespace ferrovane
