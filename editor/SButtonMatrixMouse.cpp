// The pointer on the matrix: clicks connect, disconnect and select nodes, drags paint
// connections along, the wheel moves the selection, and the hover bands follow the pointer.
#include "SButtonMatrix.h"

#include "SInput.h"

#include <algorithm>

namespace ferrovane {

using namespace zell::gui;
using namespace zell::gui::context;

bool SButtonMatrix::PointerInside(const Point2& p) const {
    return input && input->mouse[kMouseInside] && Contains(clientRect, p);
}

void SButtonMatrix::EraseHover() {
    if (hoverColumn < 0 && hoverRow < 0) return;
    previousHoverColumn = hoverColumn;
    previousHoverRow = hoverRow;
    hoverColumn = hoverRow = -1;
    DrawHighlight();
}

void SButtonMatrix::EnableHighlight(bool on) {
    highlightEnabled = on;
    if (!on) EraseHover();
}

void SButtonMatrix::ClearHover() {
    EraseHover();
    DisplayPortStats(-1, -1);
}

void SButtonMatrix::MouseStateChanged(bool* state, int code) {
    if (!state || !input) return;
    if (code == kMouseReleased) return Released();
    if (code == kMouseLeft || !state[kMouseInside]) return ClearHover();
    switch (code) {
    case kMouseLeftDown:
    case kMouseLeftDouble:
        return LeftPress();
    case kMouseRightDown:
    case kMouseRightDouble:
        return RightPress();
    case kMouseMiddleDown:
    case kMouseMiddleDouble:
        return MiddlePress();
    case kMouseWheel:
        return Wheel();
    default:
        return;
    }
}

void SButtonMatrix::LeftPress() {
    leftDragging = true;
    rightDragging = false;
    const Point2 p = PointerPosition();
    if (input->control || input->shift) {
        if (optionFlags & kMatrixBandSelection)
            StartBand(input->control ? kBandReplace : kBandAdd, p);
        return;
    }
    if (input->alt || !PointerInside(p)) return;
    const Point2 cell = CellAt(p.x, p.y);
    if (!InGrid(cell.x, cell.y)) return;
    dragCell = cell;
    const int node = NodeIndex(cell.x, cell.y);
    if (!IsConnected(cell.x, cell.y)) {
        Connect(cell);
    } else if (selectable) {
        Select(selectedNode == node ? -1 : node);
    }
}

void SButtonMatrix::Connect(const Point2& cell) {
    if (editable && !IsConnected(cell.x, cell.y)) SetConnection(cell.x, cell.y);
    const int node = NodeIndex(cell.x, cell.y);
    if (selectable && selectedNode != node) Select(node);
}

void SButtonMatrix::RightPress() {
    rightDragging = true;
    leftDragging = false;
    const Point2 p = PointerPosition();
    if (input->control || input->shift) {
        if (optionFlags & kMatrixBandSelection) StartBand(kBandRemove, p);
        return;
    }
    if (input->alt || !PointerInside(p)) return;
    const Point2 cell = CellAt(p.x, p.y);
    if (!InGrid(cell.x, cell.y)) return;
    dragCell = cell;
    Disconnect(cell);
}

void SButtonMatrix::Disconnect(const Point2& cell) {
    if (editable) ResetConnection(cell.x, cell.y, false);
    if (selectable && selectedNode >= 0) Deselect();
    if (optionFlags & kMatrixBandSelection) Unlist(cell.x, cell.y);
}

void SButtonMatrix::MiddlePress() {
    leftDragging = rightDragging = false;
    if (optionFlags & kMatrixMultiSelection) Focus(!(status & kStatusFocus));
}

void SButtonMatrix::Released() {
    leftDragging = rightDragging = false;
    dragCell = {-1, -1};
    if ((optionFlags & kMatrixBandSelection) && bandActive) {
        DrawSelectionRect(band, true);
        RealizeSelection();
        Focus(true);
        band = {};
        bandAnchor = {-1, -1};
        highlightEnabled = savedHighlight;
        bandActive = false;
        Refresh();
    }
    if (!PointerInside(PointerPosition())) ClearHover();
}

void SButtonMatrix::Wheel() {
    if (!(optionFlags & kMatrixBandSelection) || selection.empty()) return;
    const bool up = input->mouse[kMouseWheelUp], down = input->mouse[kMouseWheelDown];
    if (!up && !down) return;
    if (input->shift)
        MoveSelection(up ? kMoveRight : kMoveLeft);
    else
        MoveSelection(up ? kMoveUp : kMoveDown);
}

void SButtonMatrix::MousePosChanged(int, int) {
    if (!input) return;
    Point2 p = PointerPosition();
    const bool inside = PointerInside(p);
    const bool captured = input->mouse[kMouseCaptured];
    Point2 cell{-1, -1};
    if (!inside) {
        ClearHover();
        if (!captured) return;
        p = {std::clamp(p.x, 0, clientRect.Width() - 1),
             std::clamp(p.y, 0, clientRect.Height() - 1)};
    } else {
        cell = CellAt(p.x, p.y);
        if (cell.x > columns - 1 || cell.y > rows - 1) {
            ClearHover();
            cell = {std::min(cell.x, columns - 1), std::min(cell.y, rows - 1)};
        }
        DisplayPortStats(cell.x, cell.y);
    }
    if (captured && editable) {
        if (bandActive)
            UpdateBand(p);
        else if (!input->control && !input->shift)
            Drag(cell);
    }
    if (highlightEnabled) {
        previousHoverColumn = hoverColumn;
        previousHoverRow = hoverRow;
        hoverColumn = cell.x;
        hoverRow = cell.y;
        DrawHighlight();
    }
}

// A drag acts once per cell entered; outside the control there is no cell to act on.
void SButtonMatrix::Drag(const Point2& cell) {
    if (!InGrid(cell.x, cell.y) || cell == dragCell) return;
    if (leftDragging && !input->alt) {
        dragCell = cell;
        Connect(cell);
    } else if (rightDragging) {
        dragCell = cell;
        Disconnect(cell);
    }
}

} // namespace ferrovane
