// The multi-selection: the rectangle dragged with Control or Shift held, what it does to the
// list when the button is let go, and moving or deleting the listed nodes with the wheel and keys.
#include "SButtonMatrix.h"

#include "SButtonMatrixColours.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SKeys.h"
#include "SStaticData.h"

#include <algorithm>

namespace ferrovane {

using namespace zell::gui;
using namespace zell::gui::context;

namespace {

// Drawn twice, the inverting logic leaves the pixels as they were.
constexpr int kInvertLogic = 10;

struct Step {
    int dx, dy;
};
constexpr Step kSteps[4] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}}; // by SMatrixDirection

} // namespace

Rect2 SButtonMatrix::SpanBand(const Point2& at) const {
    auto clampX = [this](int x) { return std::clamp(x, bandMin.x, bandMax.x); };
    auto clampY = [this](int y) { return std::clamp(y, bandMin.y, bandMax.y); };
    const int x = clampX(at.x), y = clampY(at.y);
    return {clampX(std::min(x, bandAnchor.x)), clampY(std::min(y, bandAnchor.y)),
            clampX(std::max(x, bandAnchor.x)), clampY(std::max(y, bandAnchor.y))};
}

template <typename Paint> void SButtonMatrix::BandPass(Paint paint) {
    if (!drawing) return;
    SDrawDevice* previous = UseDevice(compositeDevice.get());
    const int logic = drawing->GetLogic();
    drawing->SetLogic(kInvertLogic);
    drawing->SetPen(statdata.FindPen(statdata.Colour(kMatrixBand)));
    paint();
    drawing->SetLogic(logic);
    UseDevice(previous);
    Refresh();
}

void SButtonMatrix::InvertRect(const Rect2& r) {
    if (r.Width() == 0 || r.Height() == 0)
        drawing->DrawLine(r.x1, r.y1, r.x2, r.y2);
    else
        drawing->DrawRect(r);
}

// The band is on screen from its start to its end, so every later pass can invert the old one
// away.
void SButtonMatrix::StartBand(int mode, const Point2& at) {
    bandActive = true;
    bandAnchor = at;
    bandMode = mode;
    if (highlightEnabled) EraseHover();
    savedHighlight = highlightEnabled;
    highlightEnabled = false;
    band = SpanBand(at);
    BandPass([this] { InvertRect(band); });
}

void SButtonMatrix::UpdateBand(const Point2& at) {
    Rect2 old = band;
    band = SpanBand(at);
    if (!SameRect(old, band)) DrawSelectionRect(old, false);
}

void SButtonMatrix::DrawSelectionRect(Rect2& old, bool eraseOnly) {
    if (!bandActive || SameRect(band, Rect2{})) return;
    BandPass([&] {
        InvertRect(old);
        if (!eraseOnly) InvertRect(band);
    });
}

void SButtonMatrix::RealizeSelection() {
    if (SameRect(band, Rect2{})) return;
    auto inGrid = [this](Point2 c) {
        return Point2{std::clamp(c.x, 0, columns - 1), std::clamp(c.y, 0, rows - 1)};
    };
    const Point2 first = inGrid(CellAt(band.x1, band.y1));
    const Point2 last = inGrid(CellAt(band.x2, band.y2));
    auto covered = [&](const Point2& p) {
        return p.x >= first.x && p.x <= last.x && p.y >= first.y && p.y <= last.y;
    };
    if (bandMode == kBandRemove) {
        savedSelection = selection;
        selection.erase(std::remove_if(selection.begin(), selection.end(), covered),
                        selection.end());
    } else if (bandMode == kBandReplace || bandMode == kBandAdd) {
        if (bandMode == kBandReplace) selection.clear();
        for (int column = first.x; column <= last.x; ++column)
            for (int row = first.y; row <= last.y; ++row)
                if (IsConnected(column, row) && !Listed(column, row))
                    selection.push_back({column, row});
    }
    DrawAll();
}

// The list is put in grid order first and walked against the direction of the move, so that a
// node is always moved away before its neighbour moves onto its cell: in whatever order bands
// added the nodes, none is lost.
void SButtonMatrix::MoveSelection(int direction) {
    if (selection.empty() || direction < kMoveUp || direction > kMoveRight) return;
    std::sort(selection.begin(), selection.end(),
              [](const Point2& a, const Point2& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    const Step step = kSteps[direction];
    const int selectedBefore = selectedNode;
    int selectedAfter = -1;
    if (direction == kMoveUp || direction == kMoveLeft) {
        for (size_t at = 0; at < selection.size();)
            if (MoveNode(at, step.dx, step.dy, selectedBefore, selectedAfter)) ++at;
    } else {
        for (size_t at = selection.size(); at-- > 0;)
            MoveNode(at, step.dx, step.dy, selectedBefore, selectedAfter);
    }
    if (selectedAfter >= 0) Select(selectedAfter);
    DrawAll();
}

bool SButtonMatrix::MoveNode(size_t at, int dx, int dy, int selectedBefore, int& selectedAfter) {
    const Point2 from = selection[at];
    const Point2 to{from.x + dx, from.y + dy};
    const bool wasSelected = selectedBefore >= 0 && NodeIndex(from.x, from.y) == selectedBefore;
    ResetConnection(from.x, from.y, true);
    if (InGrid(to.x, to.y)) {
        selection[at] = to;
        SetConnection(to.x, to.y);
        SendConnection(from.x, from.y, to.x, to.y, 1);
        if (wasSelected) selectedAfter = NodeIndex(to.x, to.y);
        return true;
    }
    selection.erase(selection.begin() + static_cast<std::ptrdiff_t>(at));
    if (wasSelected) Deselect();
    return false;
}

void SButtonMatrix::DeleteSelection() {
    if (!editable) return;
    for (const Point2& p : selection) {
        ResetConnection(p.x, p.y, false);
        if (selectedNode >= 0 && selectedNode == NodeIndex(p.x, p.y)) Deselect();
    }
    selection.clear();
}

// Only the control keys act, on their press, whatever the modifiers.
void SButtonMatrix::KeyStateChanged(int key, bool pressed, int, int keyClass) {
    if (!(optionFlags & kMatrixBandSelection) || keyClass != kKeyControl || !pressed) return;
    switch (key) {
    case kKeyUp:
        return MoveSelection(kMoveUp);
    case kKeyDown:
        return MoveSelection(kMoveDown);
    case kKeyLeft:
        return MoveSelection(kMoveLeft);
    case kKeyRight:
        return MoveSelection(kMoveRight);
    case kKeyDelete:
        return DeleteSelection();
    default:
        return;
    }
}

} // namespace ferrovane
