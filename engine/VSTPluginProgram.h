// One program of the bank: a routing matrix of 16 input channels against 16 output channels with
// an event-type mask per node, the selected node and three options. These 598 bytes, little
// endian and without padding, are also the chunk format.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ferrovane {

constexpr int kChannels = 16;
constexpr int kNumPrograms = 128;
constexpr int kNameLength = 48; // 47 characters and the NUL

// Event-type bits of a routing cell; bits 6 to 15 have no effect on routing.
enum RouteMask : uint16_t {
    kRouteNote = 0x01,
    kRouteCC = 0x02,
    kRoutePolyAftertouch = 0x04,
    kRouteProgramChange = 0x08,
    kRouteAftertouch = 0x10,
    kRoutePitchBend = 0x20,
    kRouteConnected = 0xFFFF, // what connecting a node writes
};

struct VSTPluginProgram {
    char name[kNameLength];
    uint16_t routing[kChannels][kChannels]; // [input channel][output channel]
    int16_t selectedIn;
    int16_t selectedOut;
    int16_t reserved;
    uint8_t presetSwitching;
    uint8_t grid;
    uint8_t highlight;
    uint8_t reservedBytes[29];
};

static_assert(offsetof(VSTPluginProgram, routing) == 48);
static_assert(offsetof(VSTPluginProgram, selectedIn) == 560);
static_assert(offsetof(VSTPluginProgram, selectedOut) == 562);
static_assert(offsetof(VSTPluginProgram, reserved) == 564);
static_assert(offsetof(VSTPluginProgram, presetSwitching) == 566);
static_assert(offsetof(VSTPluginProgram, grid) == 567);
static_assert(offsetof(VSTPluginProgram, highlight) == 568);
static_assert(offsetof(VSTPluginProgram, reservedBytes) == 569);
static_assert(sizeof(VSTPluginProgram) == 598);

constexpr int kProgramSize = sizeof(VSTPluginProgram);       // 598
constexpr int kOldProgramSize = 566;                         // without the option bytes
constexpr int kBankSize = kProgramSize * kNumPrograms;       // 76,544
constexpr int kOldBankSize = kOldProgramSize * kNumPrograms; // 72,484
constexpr int kOptionOffset = offsetof(VSTPluginProgram, presetSwitching);
constexpr int kOptionBytes = kProgramSize - kOptionOffset; // 32

// The program's fields are shared with the engine and the editor without a lock; these helpers
// touch each field with one relaxed store or load of its own width.
void SetIdentityRouting(VSTPluginProgram& p);
void ClearRouting(VSTPluginProgram& p);
void SetProgramDefaults(VSTPluginProgram& p, const char* name);
void StoreName(VSTPluginProgram& p, const char* name);
void LoadName(const VSTPluginProgram& p, char* out);
// Copies the fields that lie within the first `bytes` bytes of the record (566 or 598).
void StoreRecord(VSTPluginProgram& dst, const VSTPluginProgram& src, int bytes);
// Copies routing, selection, reserved and the option bytes; the name stays.
void StoreBody(VSTPluginProgram& dst, const VSTPluginProgram& src);

} // namespace ferrovane
