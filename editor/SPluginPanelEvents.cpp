// The panel's controls acting on the engine, and clicks on the panel itself (dispatching thread).
#include "SPluginPanel.h"

#include "PluginParameters.h"
#include "Relaxed.h"
#include "SButton.h"
#include "SButtonMatrix.h"
#include "SImageLabel.h"
#include "SToolTip.h"
#include "SIEngine.h"

namespace ferrovane {

using namespace zell::gui;
using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

namespace {

bool IsPress(int code) {
    return (code >= context::kMouseLeftDown && code <= context::kMouseMiddleDown) ||
           (code >= context::kMouseLeftDouble && code <= context::kMouseMiddleDouble);
}

bool Inside(const Rect2& r, const Point2& p) {
    return p.x >= r.x1 && p.x <= r.x2 && p.y >= r.y1 && p.y <= r.y2;
}

} // namespace

// Every change of what the host saves is reported to the engine, and the format module tells the
// host: options as parameters, everything else (the matrix, the filters, the selection, a paste,
// the actions) as a change of the chunk. The logo, the tips and the copy change nothing saved.
void SPluginPanel::ParseEvent(SEvent* e) {
    if (!e || !engine || !EventHandled(e->type) || !e->sender) return;
    const unsigned sender = e->sender->GetId();
    auto is = [sender](SControl* c) { return c && c->GetId() == sender; };
    if (e->type == kEventConnection) {
        auto* change = static_cast<SMatrixConnection*>(e->data);
        if (!is(matrix) || !change) return;
        engine->UserChangedState();
        if (change->moved) return;
        engine->SetEditNode(change->column, change->row);
        engine->setParameter(kParamConnection, 0.0f);
        return;
    }
    if (e->type != kEventValue) return;
    if (is(titleLabel)) {
        titleLabel->Hide();
    } else if (is(gridButton)) {
        SetOption(gridButton, kParamGrid);
    } else if (is(clearButton)) {
        RunAction(kParamClear);
    } else if (is(resetButton)) {
        RunAction(kParamReset);
    } else if (is(presetSwitchButton)) {
        SetOption(presetSwitchButton, kParamPresetSwitching);
    } else if (is(highlightButton)) {
        SetOption(highlightButton, kParamHighlight);
    } else if (is(copyButton)) {
        engine->copySelProgram();
    } else if (is(pasteButton)) {
        engine->pasteSelProgram();
        engine->UserChangedState();
    } else if (!filterButtons.empty() && sender >= filterButtons.front()->GetId() &&
               sender <= filterButtons.back()->GetId()) {
        ToggleFilter(static_cast<int>(sender - filterButtons.front()->GetId()));
    } else if (is(matrix)) {
        SelectionChanged();
    }
}

void SPluginPanel::SetOption(Button* button, int parameter) {
    engine->setParameter(parameter, static_cast<float>(button->GetValue()));
    engine->UserChangedParameter(parameter);
}

// An action is a press and a release of its parameter.
void SPluginPanel::RunAction(int parameter) {
    engine->setParameter(parameter, 1.0f);
    engine->setParameter(parameter, 0.0f);
    engine->UserChangedState();
}

void SPluginPanel::ToggleFilter(int bit) {
    int in = 0, out = 0;
    if (bit < 0 || bit >= kFilters || !SelectedNode(in, out)) return;
    uint16_t& cell = shownProgram->routing[in][out];
    const uint16_t mask = static_cast<uint16_t>(1u << bit);
    if (filterButtons[bit]->GetValue() < 1) {
        StoreRelaxed(cell, LoadRelaxed(cell) & ~mask);
        if (bit == 0) engine->SetEditNode(in, out); // its sounding notes are silenced
    } else {
        StoreRelaxed(cell, LoadRelaxed(cell) | mask);
    }
    engine->UserChangedState();
    engine->setParameter(kParamEditNode, 0.0f);
}

void SPluginPanel::SelectionChanged() {
    VSTPluginProgram& program = *shownProgram;
    int in = -1, out = -1;
    if (!SelectedNode(in, out)) in = out = -1;
    StoreRelaxed(program.selectedIn, in);
    StoreRelaxed(program.selectedOut, out);
    engine->UserChangedState();
    engine->setParameter(kParamEditNode, 0.0f);
}

void SPluginPanel::MouseStateChanged(bool* state, int code) {
    SWindow::MouseStateChanged(state, code);
    if (!IsPress(code)) return;
    const Point2 p = PointerPosition();
    if (tooltip && Inside(tooltip->IndicatorRect(), p)) {
        tooltip->ToggleTooltips();
        tooltip->DrawTiprect(drawing.get());
    }
    if (titleLabel && Inside(titleArea, p)) titleLabel->Show();
}

} // namespace ferrovane
