// The bank of 128 programs seen as a chunk reader. A chunk is the program records byte for byte;
// its size alone tells the current, older (566-byte records) and newer formats apart.
#pragma once

#include "VSTPluginProgram.h"

#include <cstdint>

namespace ferrovane {

class VSTPluginProgramBank {
  public:
    explicit VSTPluginProgramBank(VSTPluginProgram (&programs)[kNumPrograms])
        : programs(programs) {}

    // 1 when loaded, 0 when the size is not one the format accepts (nothing changes then).
    [[nodiscard]] int readProgram(const void* data, intptr_t size, int index);
    [[nodiscard]] int readBank(const void* data, intptr_t size);

  private:
    VSTPluginProgram (&programs)[kNumPrograms];
};

// The message for a chunk saved by a newer version: "Failed to load program\n(Reason: ...".
void ShowNewerVersionMessage(bool bank, int vendorVersion);

} // namespace ferrovane
