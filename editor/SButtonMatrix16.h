// The panel's matrix: 16 MIDI input channels (columns) against 16 output channels (rows), each
// node bound to one 16-bit routing word of the plugin's current program. A word is connected
// when it is not 0; connecting writes 0xFFFF (every event type), disconnecting 0.
#pragma once

#include "SButtonMatrix.h"

#include <cstdint>

namespace ferrovane {

class SButtonMatrix16 : public SButtonMatrix {
  public:
    static constexpr int kSize = 16;
    static constexpr uint16_t kAllEvents = 0xFFFF;

    SButtonMatrix16(SGlobals* globals, SControl* parent, int id, const char* title, int style,
                    int x, int y, int width, int height, int parentWindow);

    // index = column * 16 + row; an index outside the grid is ignored, null unbinds. The word
    // must outlive the binding: the panel binds again whenever the program changes.
    void BindNode(int index, uint16_t* word);

    void DrawLabels() override;
    bool IsConnected(int column, int row) override;
    void SetConnection(int column, int row) override;
    void ResetConnection(int column, int row, bool moving) override;

    uint16_t* nodes[kSize * kSize] = {}; // not owned; shared with the processing thread

  private:
    // The bound word of a cell, or null outside the grid or unbound.
    uint16_t* Word(int column, int row) const;
    void Store(int column, int row, uint16_t value);
};

} // namespace ferrovane
