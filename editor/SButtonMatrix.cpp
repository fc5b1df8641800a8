// The matrix's life, its cell arithmetic, the selected node and what it tells the panel.
#include "SButtonMatrix.h"

#include "SDrawBitmap.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SStaticData.h"

#include <algorithm>
#include <cmath>

namespace ferrovane {

using namespace zell::gui;
using namespace zell::gui::context;

namespace {

// In single precision, taken down: a pixel left of or above the control gives a negative cell.
int CellOf(int cells, int pixel, float inverse) {
    float product = static_cast<float>(cells) * static_cast<float>(pixel) * inverse;
    return static_cast<int>(std::floor(product));
}

} // namespace

SButtonMatrix::SButtonMatrix(SGlobals* g, SControl* p, int i, const char* t, int style, int x,
                             int y, int w, int h, int pw)
    : SWindow(g, p, static_cast<unsigned>(i), t, style | kFlagGrabOnPress, x, y, w, h, pw, false) {
    EnableEventHandler(kEventValue);
    EnableEventHandler(kEventConnection);
    compositeBitmap = std::make_unique<SDrawBitmap>(nullptr, w, h, false, Scale());
    backgroundBitmap = std::make_unique<SDrawBitmap>(nullptr, w, h, false, Scale());
    compositeDevice = std::make_unique<SDrawMemoryDevice>(GetDevice(), compositeBitmap.get());
    backgroundDevice = std::make_unique<SDrawMemoryDevice>(GetDevice(), backgroundBitmap.get());
    numberFont = statdata.FindFont(8, false, false);
    inverseWidth = w > 0 ? 1.0f / static_cast<float>(w) : 0.0f;
    inverseHeight = h > 0 ? 1.0f / static_cast<float>(h) : 0.0f;
    bandMax = {w - 1, h - 1};
    // A new pixmap holds whatever the server had there: start both images empty, so that a
    // paint before the first DrawAll shows the background.
    if (drawing) {
        SDrawDevice* previous = UseDevice(backgroundDevice.get());
        drawing->DrawBackground(Rect2{0, 0, w, h}, false);
        UseDevice(compositeDevice.get());
        drawing->DrawBackground(Rect2{0, 0, w, h}, false);
        UseDevice(previous);
    }
}

SButtonMatrix::~SButtonMatrix() {
    compositeDevice.reset();
    backgroundDevice.reset();
    compositeBitmap.reset();
    backgroundBitmap.reset();
    if (portNamesOwned) delete[] portNames;
    portNames = nullptr;
    CleanUp();
}

SDrawDevice* SButtonMatrix::UseDevice(SDrawDevice* device) {
    SDrawDevice* previous = drawing->GetDevice();
    drawing->SetDevice(device);
    return previous;
}

Point2 SButtonMatrix::CellAt(int x, int y) const {
    return {CellOf(columns, x, inverseWidth), CellOf(rows, y, inverseHeight)};
}

bool SButtonMatrix::Listed(int column, int row) const {
    return std::find(selection.begin(), selection.end(), Point2{column, row}) != selection.end();
}

void SButtonMatrix::Unlist(int column, int row) {
    selection.erase(std::remove(selection.begin(), selection.end(), Point2{column, row}),
                    selection.end());
}

void SButtonMatrix::Select(int node) {
    const int old = selectedNode;
    selectedNode = node;
    if (old >= 0) RefreshArea(static_cast<unsigned>(old));
    if (node >= 0) RefreshArea(static_cast<unsigned>(node));
    SendEvent(kEventValue, kKindValue, selectedNode, 0.0f, nullptr, this, nullptr);
}

void SButtonMatrix::Deselect() {
    Select(-1);
}

void SButtonMatrix::SendConnection(int column, int row, int newColumn, int newRow, int moved) {
    connection = {column, row, newColumn, newRow, moved};
    SendEvent(kEventConnection, kKindData, 0, 0.0f, &connection, this, nullptr);
}

void SButtonMatrix::NodeChanged(int column, int row) {
    RefreshArea(static_cast<unsigned>(NodeIndex(column, row)));
    SendConnection(column, row);
}

void SButtonMatrix::DisplayPortStats(int column, int row) {
    if (!inputInfoLabel || !outputInfoLabel) return;
    if (column == -1 && row == -1) {
        infoText = "";
        inputInfoLabel->SetLabel(infoText);
        inputInfoLabel->Refresh();
        outputInfoLabel->SetLabel(infoText);
        outputInfoLabel->Refresh();
        return;
    }
    auto show = [this](SLabel<false>* label, zell::data::datastring<8, char>& number, int port,
                       int base) {
        number.Clear(false).Append(8, "%03i", port + base);
        if (portNames && port >= 0 && port < portNameCount)
            infoText = portNames[port];
        else
            infoText = number.Text();
        label->SetLabel(infoText);
        label->Refresh();
    };
    show(inputInfoLabel, inputText, column, inputNumberBase);
    show(outputInfoLabel, outputText, row, outputNumberBase);
}

void SButtonMatrix::Focussing(bool focus) {
    SWindow::Focussing(focus);
    if (!(optionFlags & kMatrixMultiSelection) || !focusIndicator) return;
    focusIndicator->SetBackgroundColour(focus ? focusColour : GetBackgroundColour());
    focusIndicator->Refresh();
}

} // namespace ferrovane
