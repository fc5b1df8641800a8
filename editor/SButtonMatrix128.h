// A 128 x 128 matrix (inputs are columns, outputs rows). Each input's connections are four
// 32-bit masks, one for outputs 0-31, 32-63, 64-95 and 96-127: output r is connected when bit
// r % 32 of mask r / 32 is set. Each node also has a 16-bit option word, cleared when the node is
// connected and when it is disconnected other than by a move, while the matrix is selectable.
#pragma once

#include "SButtonMatrix.h"

#include <cstdint>

namespace ferrovane {

class SButtonMatrix128 : public SButtonMatrix {
  public:
    static constexpr int kSize = 128;
    static constexpr int kMaskBits = 32;
    static constexpr int kMasks = kSize / kMaskBits;

    // The cells are as large as the control allows, at least one pixel.
    SButtonMatrix128(SGlobals* globals, SControl* parent, int id, const char* title, int style,
                     int x, int y, int width, int height, int parentWindow);

    // The mask of an input for outputs quarter * 32 to quarter * 32 + 31; arguments outside the
    // grid are ignored, null unbinds.
    void BindMask(int input, int quarter, uint32_t* word);
    // index = input * 128 + output; outside the grid ignored, null unbinds.
    void BindOption(int index, uint16_t* word);

    void DrawLabels() override;
    bool IsConnected(int column, int row) override;
    void SetConnection(int column, int row) override;
    void ResetConnection(int column, int row, bool moving) override;

    // Not owned; shared with whatever reads the connections on another thread.
    uint32_t* masks[kSize][kMasks] = {};
    uint16_t* options[kSize * kSize] = {};

  private:
    // The bound mask holding a cell, or null outside the grid or unbound.
    uint32_t* Mask(int column, int row) const;
    void ClearOption(int column, int row);
};

} // namespace ferrovane
