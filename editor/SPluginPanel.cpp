// The panel's construction: its off-screen background and every child control, built once.
#include "SPluginPanel.h"

#include "Images.h"
#include "PanelColours.h"
#include "SButton.h"
#include "SButtonMatrix16.h"
#include "SColour.h"
#include "SDrawBitmap.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SGlobals.h"
#include "SImageLabel.h"
#include "SLabel.h"
#include "SStaticData.h"
#include "SToolTip.h"

#include <cstdio>
#include <iterator>

namespace ferrovane {

using namespace zell::gui;
using namespace colours;

int colours::Pixel(int name) {
    if (name == kCyan) return SCOL(0, 255, 255);
    if (name == kLime) return SCOL(128, 255, 0);
    return statdata.Colour(name);
}

namespace {

// The seven colours of SetColours, by name.
struct Scheme {
    int bgNormal, bgActive, parentBg, fg, fgActive, text, textActive;
};
constexpr Scheme kPanelScheme{kSlate, kSlate, kSlate, kWhite, kWhite, kWhite, kWhite};
constexpr int kNone = -1;

void ApplyScheme(SControl* c, const Scheme& s) {
    c->SetColours(Pixel(s.bgNormal), Pixel(s.bgActive), Pixel(s.parentBg), Pixel(s.fg),
                  Pixel(s.fgActive), Pixel(s.text), Pixel(s.textActive));
}

// One action or option button of the panel.
struct ButtonRow {
    const char* title;
    int style;
    int x, y, w, h;
    const char* label;
    int fontSize;
    Scheme scheme;
    int labelOn, labelOff;
    int labelActive; // kNone: left as the button makes it
    int type;
    const char* tip;
};

constexpr int kPush = 2;
constexpr int kToggle = 4;

// In creation order.
constexpr ButtonRow kButtons[] = {
    {"(FRVA) Button: Clear Assignments",
     0,
     247,
     15,
     40,
     20,
     "Clear",
     8,
     {kSteel, kSlate, kSlate, kWhite, kWhite, kWhite, kWhite},
     kWhite,
     kSlate,
     kNone,
     kPush,
     "Action:\nClear Assignments"},
    {"(FRVA) Button: Reset Assignments",
     0,
     247,
     40,
     40,
     20,
     "Reset",
     8,
     {kSteel, kSlate, kSlate, kWhite, kWhite, kWhite, kWhite},
     kWhite,
     kSlate,
     kNone,
     kPush,
     "Action:\nReset Assignments"},
    {"(FRVA) Button: Copy Preset",
     16,
     204,
     67,
     16,
     16,
     "C",
     7,
     {kMaroon, kBlack, kWine, kWhite, kWhite, kWhite, kWhite},
     kWhite,
     kGrey,
     kNone,
     kPush,
     "Action:\nCopy Preset"},
    {"(FRVA) Button: Paste Preset",
     16,
     223,
     67,
     16,
     16,
     "P",
     7,
     {kMaroon, kBlack, kWine, kWhite, kWhite, kWhite, kWhite},
     kWhite,
     kGrey,
     kNone,
     kPush,
     "Action:\nPaste Preset"},
    {"(FRVA) Button: Preset Switching",
     0,
     242,
     67,
     42,
     16,
     "Presets",
     7,
     {kBlack, kRed, kWine, kWhite, kWhite, kWhite, kWhite},
     kWhite,
     kGrey,
     kNone,
     kToggle,
     "Option:\nEnable Preset Switching\n(via Program Changes)"},
    {"(FRVA) Button: Highlight",
     0,
     204,
     42,
     16,
     16,
     "H",
     7,
     {kBlack, kBrown, kSlate, kWhite, kWhite, kWhite, kWhite},
     kWhite,
     kGrey,
     kNone,
     kToggle,
     "Option:\nHighlight Matrix Column/Row"},
    {"(FRVA) Button: Grid",
     0,
     224,
     42,
     16,
     16,
     "G",
     7,
     {kBlack, kSteel, kSlate, kWhite, kWhite, kWhite, kWhite},
     kWhite,
     kGrey,
     kBlack,
     kToggle,
     "Option:\nToggle Grid"},
};

// The filter buttons stand for the bits of a routing cell, in bit order.
struct FilterRow {
    const char* name;
    int colour;
};
constexpr FilterRow kFilterRows[SPluginPanel::kFilters] = {
    {"Note", kWhite}, {"CC", kYellow}, {"PAT", kRed},
    {"PC", kMagenta}, {"AT", kCyan},   {"PB", kLime},
};
constexpr int kFilterX = 77, kFilterStep = 35, kFilterY = 365, kFilterW = 32, kFilterH = 20;

constexpr const char* kInfoTitle = "(FRVA) Label: Matrix Infos";
constexpr const char* kMatrixTip =
    "Option:\nMidi Routing Matrix\n   \nblack: disconnected\nblue: connected\ngreen: selected";

context::SDrawFont* Font(int size, bool bold = false) {
    return statdata.FindFont(size, bold, false);
}

} // namespace

SPluginPanel::SPluginPanel(SGlobals* g, SControl* p, unsigned i, const char* t, int style, int x,
                           int y, int w, int h, int pw, bool unused)
    : SWindow(g, p, i, t, style, x, y, w, h, pw, unused) {
    EnableEventHandler(kEventValue);
    EnableEventHandler(kEventConnection);
    panelBitmap = std::make_unique<context::SDrawBitmap>(nullptr, w, h, false, Scale());
    panelDevice = std::make_unique<context::SDrawMemoryDevice>(GetDevice(), panelBitmap.get());
}

SPluginPanel::~SPluginPanel() {
    CleanUp();
    // The controls go before the tooltip they use.
    while (!Children().empty())
        Remove(Children().back().control.get(), true);
    tooltip.reset();
    panelDevice.reset();
    panelBitmap.reset();
}

void SPluginPanel::LoadControls() {
    ApplyScheme(this, kPanelScheme);
    tooltip = std::make_unique<SToolTip>(this, true);
    ApplyScheme(tooltip.get(), kPanelScheme);
    tooltip->SetTipColours(Pixel(kWhite), Pixel(kOrange), Pixel(kRed));
    tooltip->SetRounded(true);
    tooltip->SetFlipped(true);

    const int parentWindow = static_cast<int>(GetWindow());
    auto title =
        std::make_unique<SImageLabel>(globals, this, static_cast<int>(globals->NewId()),
                                      "(FRVA) Label: Title", 0, 10, 10, 190, 52, parentWindow);
    titleLabel = title.get();
    titleLabel->LoadBackground(const_cast<char**>(zell::images::text_logo),
                               zell::images::kTextLogoWidth, zell::images::kTextLogoHeight);
    titleLabel->AddEventListener(this, kEventValue);
    titleArea = titleLabel->WindowRect();
    titleLabel->Show();
    Adopt(std::move(title));

    Button** fields[] = {&clearButton,        &resetButton,     &copyButton, &pasteButton,
                         &presetSwitchButton, &highlightButton, &gridButton};
    for (size_t row = 0; row < std::size(kButtons); ++row)
        *fields[row] = MakeButton(static_cast<int>(row));

    for (Label** info : {&inputInfo, &outputInfo}) {
        const int x = info == &inputInfo ? 110 : 170;
        auto label = std::make_unique<Label>(globals, this, globals->NewId(), kInfoTitle, 0, x, 392,
                                             40, 20, parentWindow, false);
        *info = label.get();
        ApplyScheme(*info, {kSlate, kSlate, kSlate, kWhite, kWhite, kWhite, kWhite});
        (*info)->SetLabel("", Font(8), 0);
        (*info)->SetLabelColours(Pixel(kOrange), Pixel(kGrey));
        (*info)->Show();
        Adopt(std::move(label));
    }
    MakeMatrix();
    MakeFilterButtons();
    RefreshPanel();
}

SPluginPanel::Button* SPluginPanel::MakeButton(int index) {
    const ButtonRow& row = kButtons[index];
    auto b = std::make_unique<Button>(globals, this, globals->NewId(), row.title, row.style, row.x,
                                      row.y, row.w, row.h, static_cast<int>(GetWindow()), false);
    ApplyScheme(b.get(), row.scheme);
    b->SetLabel(row.label, Font(row.fontSize), 0);
    b->SetLabelColours(Pixel(row.labelOn), Pixel(row.labelOff));
    if (row.labelActive != kNone) b->SetLabelColourActive(Pixel(row.labelActive));
    b->SetType(row.type);
    b->SetHoverColours(Pixel(kWhite), Pixel(kWhite));
    b->AddEventListener(this, kEventValue);
    tooltip->Attach(b.get(), row.tip, 0);
    b->Show();
    return Adopt(std::move(b));
}

void SPluginPanel::MakeMatrix() {
    auto made = std::make_unique<SButtonMatrix16>(globals, this, static_cast<int>(globals->NewId()),
                                                  "(FRVA) Matrix: Midi Routings", 8, 32, 103, 256,
                                                  256, static_cast<int>(GetWindow()));
    SButtonMatrix16* m = made.get();
    matrix = m;
    m->labelFont = Font(14, true);
    m->selection.reserve(256);
    m->savedSelection.reserve(256);
    ApplyScheme(m, {kBlack, kSteel, kSlate, kWhite, kWhite, kWhite, kWhite});
    tooltip->Attach(m, kMatrixTip, 0);
    m->inputInfoLabel = inputInfo;
    m->outputInfoLabel = outputInfo;
    m->inputNumberBase = m->outputNumberBase = 1;
    m->showLabels = true;
    m->highlightColour = Pixel(kBrown);
    m->DrawLabels();
    m->AddEventListener(this, kEventValue);
    m->AddEventListener(this, kEventConnection);
    // Clicks write through the node pointers: they are bound before the matrix is shown.
    BindMatrix();
    m->Show();
    Adopt(std::move(made));
}

void SPluginPanel::MakeFilterButtons() {
    char title[64], tip[96];
    for (int i = 0; i < kFilters; ++i) {
        snprintf(title, sizeof title, "(FRVA) Button: %s-Through", kFilterRows[i].name);
        snprintf(tip, sizeof tip, "Option:\nToggle %s-Through\n(for the selected node)",
                 kFilterRows[i].name);
        auto b = std::make_unique<Button>(globals, this, globals->NewId(), title, 0,
                                          kFilterX + kFilterStep * i, kFilterY, kFilterW, kFilterH,
                                          static_cast<int>(GetWindow()), false);
        ApplyScheme(b.get(), {kBlack, kBlack, kBlack, kWhite, kWhite, kWhite, kWhite});
        b->SetLabelColours(Pixel(kWhite), Pixel(kGrey));
        b->SetLabelColourActive(Pixel(kBlack));
        b->SetType(kToggle);
        b->SetHoverColours(Pixel(kFilterRows[i].colour), Pixel(kFilterRows[i].colour));
        b->AddEventListener(this, kEventValue);
        tooltip->Attach(b.get(), tip, 0);
        filterButtons.push_back(Adopt(std::move(b)));
    }
    for (int i = 0; i < kFilters; ++i) {
        filterButtons[i]->SetLabel(kFilterRows[i].name, Font(8), 0);
        ApplyScheme(filterButtons[i],
                    {kSlate, kFilterRows[i].colour, kSlate, kWhite, kWhite, kWhite, kWhite});
    }
    for (Button* b : filterButtons)
        b->Show();
}

void SPluginPanel::Draw(const Rect2&) {
    if (!drawing || !panelDevice || !panelBitmap) return;
    drawing->DrawMemory(panelDevice.get(), 0, 0, 0, 0, clientRect.Width(), clientRect.Height());
    if (tooltip) tooltip->DrawTiprect(drawing.get());
}

} // namespace ferrovane
