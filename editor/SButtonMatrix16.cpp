#include "SButtonMatrix16.h"

#include "Relaxed.h"

namespace ferrovane {

using namespace zell::gui;

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

SButtonMatrix16::SButtonMatrix16(SGlobals* g, SControl* p, int i, const char* t, int style, int x,
                                 int y, int w, int h, int pw)
    : SButtonMatrix(g, p, i, t, style, x, y, w, h, pw) {
    columns = rows = kSize;
    cellWidth = cellHeight = 16;
}

void SButtonMatrix16::BindNode(int index, uint16_t* word) {
    if (index >= 0 && index < kSize * kSize) nodes[index] = word;
}

uint16_t* SButtonMatrix16::Word(int column, int row) const {
    if (column < 0 || column >= kSize || row < 0 || row >= kSize) return nullptr;
    return nodes[column * kSize + row];
}

void SButtonMatrix16::DrawLabels() {
    RenderBackground({100, 20}, {20, 72, 50, 240});
}

bool SButtonMatrix16::IsConnected(int column, int row) {
    const uint16_t* word = Word(column, row);
    return word && LoadRelaxed(*word) != 0;
}

void SButtonMatrix16::Store(int column, int row, uint16_t value) {
    uint16_t* word = Word(column, row);
    if (!word) return;
    StoreRelaxed(*word, value);
    NodeChanged(column, row);
}

void SButtonMatrix16::SetConnection(int column, int row) {
    Store(column, row, kAllEvents);
}

// A move writes the same 0 as a disconnect: the node's filters do not travel with it.
void SButtonMatrix16::ResetConnection(int column, int row, bool) {
    Store(column, row, 0);
}

} // namespace ferrovane
