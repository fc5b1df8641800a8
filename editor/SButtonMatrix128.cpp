#include "SButtonMatrix128.h"

#include "Relaxed.h"

#include <algorithm>

namespace ferrovane {

using namespace zell::gui;

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

SButtonMatrix128::SButtonMatrix128(SGlobals* g, SControl* p, int i, const char* t, int style, int x,
                                   int y, int w, int h, int pw)
    : SButtonMatrix(g, p, i, t, style, x, y, w, h, pw) {
    columns = rows = kSize;
    cellWidth = std::max(1, w / kSize);
    cellHeight = std::max(1, h / kSize);
}

void SButtonMatrix128::BindMask(int input, int quarter, uint32_t* word) {
    if (input >= 0 && input < kSize && quarter >= 0 && quarter < kMasks)
        masks[input][quarter] = word;
}

void SButtonMatrix128::BindOption(int index, uint16_t* word) {
    if (index >= 0 && index < kSize * kSize) options[index] = word;
}

uint32_t* SButtonMatrix128::Mask(int column, int row) const {
    if (column < 0 || column >= kSize || row < 0 || row >= kSize) return nullptr;
    return masks[column][row / kMaskBits];
}

void SButtonMatrix128::DrawLabels() {
    RenderBackground({265, 30}, {50, 230, 70, 430});
}

bool SButtonMatrix128::IsConnected(int column, int row) {
    const uint32_t* mask = Mask(column, row);
    return mask && ((LoadRelaxed(*mask) >> (row % kMaskBits)) & 1u) != 0;
}

void SButtonMatrix128::ClearOption(int column, int row) {
    if (uint16_t* word = options[column * kSize + row]) StoreRelaxed(*word, 0);
}

// The masks have one writer, this matrix, so a read and a store make the change; a reader on
// another thread sees the old or the new mask, never a torn one.
void SButtonMatrix128::SetConnection(int column, int row) {
    uint32_t* mask = Mask(column, row);
    if (!mask) return;
    StoreRelaxed(*mask, LoadRelaxed(*mask) | (1u << (row % kMaskBits)));
    if (selectable) ClearOption(column, row);
    NodeChanged(column, row);
}

void SButtonMatrix128::ResetConnection(int column, int row, bool moving) {
    uint32_t* mask = Mask(column, row);
    if (!mask) return;
    StoreRelaxed(*mask, LoadRelaxed(*mask) & ~(1u << (row % kMaskBits)));
    if (selectable && !moving) ClearOption(column, row);
    NodeChanged(column, row);
}

} // namespace ferrovane
