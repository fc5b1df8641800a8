// The panel reading the engine again: the editor's refreshes, the matrix binding and the
// variable parts of the background.
#include "SPluginPanel.h"

#include "PanelColours.h"
#include "PluginParameters.h"
#include "Relaxed.h"
#include "SButton.h"
#include "SButtonMatrix16.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SStaticData.h"
#include "SIEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ferrovane {

using namespace zell::gui;
using namespace colours;
using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

namespace {

constexpr int kRadius = 7;
constexpr uint16_t kFilterBits = 0x3F;
// The node label's place in the filter box.
constexpr Rect2 kNodeLabel{32, 372, 76, 386};
constexpr const char* kProductLine = "Ferrovane 1.01";
// Short enough to stay under the logo in any font the server may give.
constexpr const char* kCopyrightLine = "(c) 2026 ferrovane.org";

// A parameter as a button value.
int ButtonValue(float parameter) {
    return static_cast<int>(std::lround(static_cast<double>(parameter) + 8.3e-17));
}

bool HighlightOn(float parameter) {
    return parameter >= 1e-10f;
}

} // namespace

// ---- Refresh requests (idle thread) ----

void SPluginPanel::RefreshControls(long index) {
    if (!engine || !matrix) return;
    switch (index) {
    case -1:
        engine->getProgramName(presetName);
        BindMatrix();
        RestoreSelection();
        ShowHighlightOption();
        ShowGridOption();
        presetSwitchButton->SetValue(ButtonValue(engine->getParameter(kParamPresetSwitching)),
                                     false);
        matrix->DrawAll();
        RefreshSelections();
        break;
    case kParamReset:
    case kParamClear:
        DeselectNode();
        RefreshSelections();
        matrix->DrawAll();
        break;
    case kParamPresetSwitching:
        presetSwitchButton->SetValue(ButtonValue(engine->getParameter(kParamPresetSwitching)),
                                     false);
        break;
    case kParamGrid:
        ShowGridOption();
        matrix->DrawAll();
        break;
    case kParamHighlight:
        ShowHighlightOption();
        break;
    case kParamEditNode:
    case kParamConnection:
        RefreshSelections();
        break;
    default:
        break;
    }
}

void SPluginPanel::ShowGridOption() {
    gridButton->SetValue(ButtonValue(engine->getParameter(kParamGrid)), false);
    matrix->showGrid = gridButton->GetValue() > 0;
    matrix->DrawLabels();
}

void SPluginPanel::ShowHighlightOption() {
    highlightButton->SetValue(ButtonValue(engine->getParameter(kParamHighlight)), false);
    matrix->EnableHighlight(HighlightOn(engine->getParameter(kParamHighlight)));
    matrix->Refresh();
}

// The current program can change between refreshes, so the nodes are bound again each time.
void SPluginPanel::BindMatrix() {
    auto* m = static_cast<SButtonMatrix16*>(matrix);
    VSTPluginProgram& program = engine->CurrentProgram();
    shownProgram = &program;
    for (int in = 0; in < kChannels; ++in)
        for (int out = 0; out < kChannels; ++out)
            m->BindNode(in * kChannels + out, &program.routing[in][out]);
}

// A stored selection outside the grid (from a damaged chunk) counts as none.
void SPluginPanel::RestoreSelection() {
    const VSTPluginProgram& program = *shownProgram;
    const int in = LoadRelaxed(program.selectedIn), out = LoadRelaxed(program.selectedOut);
    if (in < 0 || in >= kChannels || out < 0 || out >= kChannels) {
        DeselectNode();
        return;
    }
    const int node = in * kChannels + out;
    const int old = matrix->selectedNode;
    if (node == old) return;
    matrix->selectedNode = node;
    if (old >= 0) matrix->RefreshArea(static_cast<unsigned>(old));
    matrix->RefreshArea(static_cast<unsigned>(node));
}

void SPluginPanel::DeselectNode() {
    const int old = matrix->selectedNode;
    if (old < 0) return;
    matrix->selectedNode = -1;
    matrix->RefreshArea(static_cast<unsigned>(old));
}

bool SPluginPanel::SelectedNode(int& input, int& output) const {
    if (!matrix || matrix->selectedNode < 0 || !matrix->selectable) return false;
    input = matrix->selectedNode / matrix->columns;
    output = matrix->selectedNode % matrix->columns;
    return input < kChannels && output < kChannels;
}

void SPluginPanel::RefreshSelections() {
    int in = 0, out = 0;
    uint16_t cell = 0;
    const bool selected = SelectedNode(in, out);
    uint16_t* word = selected ? &shownProgram->routing[in][out] : nullptr;
    if (word) cell = LoadRelaxed(*word);
    if (selected && !(cell & kFilterBits)) {
        // A node that lets nothing through is no connection.
        StoreRelaxed(*word, 0);
        matrix->RefreshArea(static_cast<unsigned>(matrix->selectedNode));
        DeselectNode();
    }
    const bool enable = selected && (cell & kFilterBits);
    for (int k = 0; k < kFilters; ++k) {
        filterButtons[k]->SetValue(enable && (cell & (1 << k)) ? 1 : 0, false);
        filterButtons[k]->Enable(enable);
    }
    RefreshLabels();
}

// ---- Background ----

void SPluginPanel::NodeLabel(char* text, int size) const {
    int in = 0, out = 0;
    if (SelectedNode(in, out))
        snprintf(text, static_cast<size_t>(size), "[ %i | %i ]", in + 1, out + 1);
    else
        snprintf(text, static_cast<size_t>(size), "[ None ]");
}

void SPluginPanel::RefreshLabels() {
    if (!drawing || !panelDevice) return;
    context::SDrawDevice* previous = drawing->GetDevice();
    drawing->SetDevice(panelDevice.get());
    DrawVariableParts();
    drawing->SetDevice(previous);
    Refresh();
}

void SPluginPanel::RefreshPanel() {
    if (!drawing || !panelDevice) return;
    context::SDrawDevice* previous = drawing->GetDevice();
    drawing->SetDevice(panelDevice.get());
    DrawBackground();
    DrawVariableParts();
    drawing->SetDevice(previous);
    Refresh();
}

// The parts that never change, under the logo: each line keeps to its own strip of the logo's
// area, so none shows beside the logo whatever font the server gives.
void SPluginPanel::DrawBackground() {
    SControl::Draw(Rect2{0, 0, clientRect.Width(), clientRect.Height()});
    drawing->SetFont(statdata.FindFont(7, false, false));
    auto line = [this](int colour, const char* text, int x, int y) {
        drawing->SetPen(statdata.FindPen(Pixel(colour)));
        drawing->DrawTextFitted(
            text, x, y, Rect2{titleArea.x1, y, titleArea.x2, std::min(y + 16, titleArea.y2)});
    };
    line(kWhite, kProductLine, 72, 14);
    line(kSteel, kCopyrightLine, 44, 30);
    if (notice) line(kSteel, notice, 28, 46);
}

// Texts keep to their boxes: a fallback font may be wider or taller than the one the layout was
// made for. The boxes end at the controls, so there is nothing to draw before they exist.
void SPluginPanel::DrawVariableParts() {
    if (!copyButton || filterButtons.empty()) return;
    auto fill = [this](int colour, int x1, int y1, int x2, int y2) {
        drawing->SetPen(statdata.FindPen(Pixel(colour)));
        drawing->SetBrush(statdata.FindBrush(Pixel(colour)));
        drawing->FillRoundedRect(x1, y1, x2, y2, kRadius, kRadius);
    };
    auto text = [this](int colour, const char* t, int x, int y, const Rect2& box) {
        drawing->SetPen(statdata.FindPen(Pixel(colour)));
        drawing->DrawTextFitted(t, x, y, box);
    };
    fill(kWine, 32, 64, 288, 94);
    drawing->SetFont(statdata.FindFont(8, false, false));
    // Up to the copy button, above the number strip.
    text(kWhite, presetName, 35, 68, Rect2{35, 64, copyButton->WindowRect().x1 - 2, 88});

    fill(kSteel, 32, 88, 288, 113);
    fill(kSteel, 16, 103, 41, 359);
    char number[8];
    for (int i = 0; i < kChannels; ++i) {
        snprintf(number, sizeof number, "%02i", i + 1);
        // Over its column, and beside its row.
        text(kCharcoal, number, 35 + 16 * i, 90, Rect2{32 + 16 * i, 88, 48 + 16 * i, 103});
        text(kCharcoal, number, 19, 104 + 16 * i, Rect2{16, 103 + 16 * i, 32, 119 + 16 * i});
    }
    DrawFilterBox();

    drawing->SetPen(statdata.FindPen(Pixel(kCharcoal)));
    drawing->DrawRoundedRect(32, 390, 288, 414, kRadius, kRadius);
    drawing->SetPen(statdata.FindPen(Pixel(kBlack)));
    drawing->DrawText("IN", 90, 396);
    drawing->DrawText("OUT", 215, 396);
}

void SPluginPanel::DrawFilterBox() {
    const Rect2 box{32, 363, 288, 387};
    const int left = filterButtons.front()->WindowRect().x1;
    int in = 0, out = 0;
    drawing->SetPen(statdata.FindPen(Pixel(kBlack)));
    drawing->SetBrush(statdata.FindBrush(Pixel(kBlack)));
    drawing->FillRoundedRect(box, kRadius, kRadius);
    drawing->SetFont(statdata.FindFont(7, false, false));
    drawing->SetPen(statdata.FindPen(Pixel(SelectedNode(in, out) ? kLimeGreen : kBlack)));
    drawing->DrawRoundedRect(box, kRadius, kRadius);

    // The title sits in a gap of the outline, as on a group box, so that the two never touch;
    // it keeps above the node label and left of the first filter button.
    const Rect2 titleBox{box.x1 + 2, box.y1, left - 1, kNodeLabel.y1};
    const Rect2 ink = drawing->FittedTextInk("Filters", 41, box.y1, titleBox);
    drawing->SetPen(statdata.FindPen(Pixel(kBlack)));
    if (ink.x2 > ink.x1)
        drawing->FillRect(std::max(ink.x1 - 2, box.x1 + kRadius), box.y1, ink.x2 + 2, box.y1 + 2);
    drawing->SetPen(statdata.FindPen(Pixel(kWhite)));
    drawing->DrawTextFitted("Filters", 41, box.y1, titleBox);

    // Spaces as wide as a digit, so that "[ 4 | 7 ]" does not read "[4|7]".
    char label[32];
    NodeLabel(label, sizeof label);
    int digit = 0;
    context::SDrawing::GetTextDimensions("0", &digit, nullptr, drawing->GetFont());
    drawing->DrawLabelFitted(label, kNodeLabel, 0, context::SDrawing::Point{0, 0},
                             Rect2{box.x1 + 2, kNodeLabel.y1, left - 1, box.y2 - 2}, digit);
}

} // namespace ferrovane
