// The panel reading the plugin again: the editor's refreshes, the matrix binding and the
// variable parts of the background.
#include "SPluginPanel.h"

#include "PanelColours.h"
#include "Relaxed.h"
#include "SButton.h"
#include "SButtonMatrix16.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SStaticData.h"
#include "VSTPlugin.h"

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
constexpr const char* kProductLine = "Ferrovane 1.01";
constexpr const char* kCopyrightLine = "(c) 2026 The Ferrovane Project - www.ferrovane.org";
constexpr const char* kNotice = "VST Plugin Technology by Steinberg";

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
    if (!plugin || !matrix) return;
    switch (index) {
    case -1:
        plugin->getProgramName(presetName);
        BindMatrix();
        RestoreSelection();
        ShowHighlightOption();
        ShowGridOption();
        presetSwitchButton->SetValue(ButtonValue(plugin->getParameter(2)), false);
        matrix->DrawAll();
        RefreshSelections();
        break;
    case 0:
    case 1:
        DeselectNode();
        RefreshSelections();
        matrix->DrawAll();
        break;
    case 2:
        presetSwitchButton->SetValue(ButtonValue(plugin->getParameter(2)), false);
        break;
    case 3:
        ShowGridOption();
        matrix->DrawAll();
        break;
    case 4:
        ShowHighlightOption();
        break;
    case 6:
    case 7:
        RefreshSelections();
        break;
    default:
        break;
    }
}

void SPluginPanel::ShowGridOption() {
    gridButton->SetValue(ButtonValue(plugin->getParameter(3)), false);
    matrix->showGrid = gridButton->GetValue() > 0;
    matrix->DrawLabels();
}

void SPluginPanel::ShowHighlightOption() {
    highlightButton->SetValue(ButtonValue(plugin->getParameter(4)), false);
    matrix->EnableHighlight(HighlightOn(plugin->getParameter(4)));
    matrix->Refresh();
}

// The current program can change between refreshes, so the nodes are bound again each time.
void SPluginPanel::BindMatrix() {
    auto* m = static_cast<SButtonMatrix16*>(matrix);
    VSTPluginProgram& program = plugin->CurrentProgram();
    for (int in = 0; in < kChannels; ++in)
        for (int out = 0; out < kChannels; ++out)
            m->BindNode(in * kChannels + out, &program.routing[in][out]);
}

// A stored selection outside the grid (from a damaged chunk) counts as none.
void SPluginPanel::RestoreSelection() {
    VSTPluginProgram& program = plugin->CurrentProgram();
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
    uint16_t* word = selected ? &plugin->CurrentProgram().routing[in][out] : nullptr;
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
    drawing->SetDevice(panelDevice);
    DrawVariableParts();
    drawing->SetDevice(previous);
    Refresh();
}

void SPluginPanel::RefreshPanel() {
    if (!drawing || !panelDevice) return;
    context::SDrawDevice* previous = drawing->GetDevice();
    drawing->SetDevice(panelDevice);
    DrawBackground();
    DrawVariableParts();
    drawing->SetDevice(previous);
    Refresh();
}

// The parts that never change, under the logo.
void SPluginPanel::DrawBackground() {
    SControl::Draw(Rect2{0, 0, clientRect.Width(), clientRect.Height()});
    drawing->SetFont(statdata.FindFont(7, false, false));
    drawing->SetPen(statdata.FindPen(Pixel(kWhite)));
    drawing->DrawText(kProductLine, 72, 14);
    drawing->SetPen(statdata.FindPen(Pixel(kSteel)));
    drawing->DrawText(kCopyrightLine, 44, 30);
    drawing->DrawText(kNotice, 28, 46);
}

void SPluginPanel::DrawVariableParts() {
    auto fill = [this](int colour, int x1, int y1, int x2, int y2) {
        drawing->SetPen(statdata.FindPen(Pixel(colour)));
        drawing->SetBrush(statdata.FindBrush(Pixel(colour)));
        drawing->FillRoundedRect(x1, y1, x2, y2, kRadius, kRadius);
    };
    auto text = [this](int colour, const char* t, int x, int y) {
        drawing->SetPen(statdata.FindPen(Pixel(colour)));
        drawing->DrawText(t, x, y);
    };
    fill(kWine, 32, 64, 288, 94);
    drawing->SetFont(statdata.FindFont(8, false, false));
    text(kWhite, presetName, 35, 68);

    fill(kSteel, 32, 88, 288, 113);
    fill(kSteel, 16, 103, 41, 359);
    char number[8];
    for (int i = 0; i < kChannels; ++i) {
        snprintf(number, sizeof number, "%02i", i + 1);
        text(kCharcoal, number, 35 + 16 * i, 90);
        text(kCharcoal, number, 19, 104 + 16 * i);
    }

    int in = 0, out = 0;
    fill(kBlack, 32, 363, 288, 387);
    drawing->SetFont(statdata.FindFont(7, false, false));
    drawing->SetPen(statdata.FindPen(Pixel(SelectedNode(in, out) ? kLimeGreen : kBlack)));
    drawing->DrawRoundedRect(32, 363, 288, 387, kRadius, kRadius);
    text(kWhite, "Filters", 41, 363);
    char label[32];
    NodeLabel(label, sizeof label);
    drawing->DrawLabel(label, Rect2{32, 372, 76, 386}, 0, context::SDrawing::Point{0, 0});

    drawing->SetPen(statdata.FindPen(Pixel(kCharcoal)));
    drawing->DrawRoundedRect(32, 390, 288, 414, kRadius, kRadius);
    text(kBlack, "IN", 90, 396);
    text(kBlack, "OUT", 215, 396);
}

} // namespace ferrovane
