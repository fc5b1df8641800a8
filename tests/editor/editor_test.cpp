// The editor in the stand-in host's window: embedding and parking, the update path from the
// plugin, and the panel driven with real pointer events.
#include "EditorHarness.h"

#include "PluginParameters.h"
#include "SImageLabel.h"
#include "SStaticData.h"
#include "SToolTip.h"
#include "STimerIdle.h"

#include <algorithm>
#include <set>
#include <thread>
#include <tuple>

namespace ferrovane::test {
namespace {

Window ParentOf(Display* d, Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    return parent;
}

std::vector<unsigned> ChildIds(SPluginPanel* panel) {
    std::vector<unsigned> ids;
    for (const zell::gui::SWindowID& c : panel->Children())
        ids.push_back(c.control->GetId());
    return ids;
}

using Editor = OpenEditor;

// What the user does with the pointer, at 1 and at 2: at 2 the pointer's places are the layout's
// times 2, and every gesture has the same effect.
class Gestures : public OpenEditor, public testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        scale = GetParam();
        OpenEditor::SetUp();
    }
};

TEST_F(Editor, OpensInTheHostWindowParksOnCloseAndKeepsItsPanel) {
    Display* d = window.GetDisplay();
    EXPECT_EQ(ParentOf(d, panel->GetWindow()), window.GetWindow());
    EXPECT_EQ(editor->HostWindow(), static_cast<int>(window.GetWindow()));
    EXPECT_EQ(p.plugin->Globals()->parentWindow, window.GetWindow());
    EXPECT_NE(p.plugin->Globals()->cursor, nullptr);
    EXPECT_EQ(panel->WindowRect(), (zell::gui::Rect2{0, 0, 307, 425}));
    const zell::gui::Rect2 r = editor->GetRect();
    EXPECT_EQ(r.x2, 307);
    EXPECT_EQ(r.y2, 425);
    EXPECT_TRUE(zell::threading::STimerIdle::IdleThreadRunning());
    const std::vector<unsigned> ids = ChildIds(panel);
    ASSERT_EQ(ids.size(), 17u) << "logo, seven buttons, two labels, the matrix, six filters";
    EXPECT_EQ(std::set<unsigned>(ids.begin(), ids.end()).size(), ids.size()) << "unique ids";
    zell::gui::SControl* parking = editor->ParkingControl();

    ClickNode(3, 4); // panel state that a close must keep
    Close();
    EXPECT_EQ(ParentOf(d, panel->GetWindow()), static_cast<Window>(editor->ParkingWindow()));
    EXPECT_EQ(editor->HostWindow(), 0);
    EXPECT_EQ(p.plugin->Globals()->cursor, nullptr);
    EXPECT_EQ(p.plugin->Globals()->parentWindow, 0u);
    EXPECT_FALSE(editor->IsOpen());
    EXPECT_TRUE(Eventually([] { return !zell::threading::STimerIdle::IdleThreadRunning(); }))
        << "no idle work while closed";

    Open();
    EXPECT_EQ(editor->Panel(), panel);
    EXPECT_EQ(editor->ParkingControl(), parking);
    EXPECT_EQ(ChildIds(panel), ids) << "no control made twice";
    EXPECT_EQ(ParentOf(d, panel->GetWindow()), window.GetWindow());
    EXPECT_EQ(panel->Matrix()->selectedNode, 3 * 16 + 4);
}

TEST_F(Editor, RequestsOutsideTheSlotsAndWhileClosedChangeNothing) {
    editor->postUpdateIndexed(300);
    editor->postUpdateIndexed(-1);
    EXPECT_FALSE(editor->IndexedUpdatePending());
    editor->updateAtIndex(-1);
    editor->updateAtIndex(256);

    Close();
    p.host.Dispatch(effSetProgram, 0, 9);
    p.plugin->setParameter(3, 1.0f);
    EXPECT_FALSE(editor->UpdatePending()) << "the plugin posts nothing to a closed editor";
    EXPECT_FALSE(editor->IndexedUpdatePending());
    editor->postUpdate();
    editor->postUpdateIndexed(3);
    editor->idle();
    editor->update();
    editor->updateIndexed();
    EXPECT_TRUE(editor->UpdatePending()) << "requests wait for the next open";
    EXPECT_TRUE(editor->UpdateRequested(3));
    EXPECT_EQ(panel->GridButton()->GetValue(), 0);

    Open(); // the first pass reads everything, clearing every slot
    EXPECT_FALSE(editor->UpdateRequested(3));
    EXPECT_EQ(panel->GridButton()->GetValue(), 1);
    EXPECT_TRUE(panel->Matrix()->showGrid);
    char name[64];
    p.plugin->getProgramName(name);
    EXPECT_STREQ(panel->PresetName(), name);
}

TEST_F(Editor, HostThatCannotSizeWindowsHasItsWindowResized) {
    Display* d = window.GetDisplay();
    XResizeWindow(d, window.GetWindow(), 100, 80);
    XSync(d, False);
    p.host.ClearCalls();
    editor->SetSize(307, 425);
    XWindowAttributes a;
    XSync(zell::gui::dps, False);
    ASSERT_TRUE(XGetWindowAttributes(d, window.GetWindow(), &a));
    EXPECT_EQ(a.width, 100) << "the host sizes its own window";
    EXPECT_EQ(p.host.CountCalls(audioMasterSizeWindow), 1u);

    p.host.Answers().canSizeWindow = false;
    editor->SetSize(307, 425);
    XSync(zell::gui::dps, False);
    ASSERT_TRUE(XGetWindowAttributes(d, window.GetWindow(), &a));
    EXPECT_EQ(a.width, 307);
    EXPECT_EQ(a.height, 425);
    EXPECT_EQ(p.host.CountCalls(audioMasterSizeWindow), 2u) << "told in any case";

    editor->ChangeSize(0, 0);
    EXPECT_EQ(p.host.CountCalls(audioMasterSizeWindow), 2u);
    editor->ChangeSize(10, 5);
    ERect* r = nullptr;
    p.host.Dispatch(effEditGetRect, 0, 0, &r);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->right, 317);
    EXPECT_EQ(r->bottom, 430);
    editor->Resize(307, 425);
    EXPECT_EQ(r->right, 307);
    EXPECT_EQ(r->bottom, 425);
}

TEST_F(Editor, PanelLayoutAsDesigned) {
    const auto& filters = panel->FilterButtons();
    ASSERT_EQ(filters.size(), 6u);
    const char* names[] = {"Note", "CC", "PAT", "PC", "AT", "PB"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(filters[i]->WindowRect(),
                  (zell::gui::Rect2{77 + 35 * i, 365, 77 + 35 * i + 32, 385}));
        EXPECT_EQ(filters[i]->GetId(), filters[0]->GetId() + static_cast<unsigned>(i));
        EXPECT_STREQ(filters[i]->GetLabel().Text(), names[i]);
        EXPECT_FALSE(filters[i]->Enabled()) << "no node is selected";
    }
    EXPECT_LE(filters[5]->WindowRect().x2, 288) << "inside the filter box";
    EXPECT_EQ(panel->Matrix()->WindowRect(), (zell::gui::Rect2{32, 103, 288, 359}));
    EXPECT_EQ(panel->TitleArea(), (zell::gui::Rect2{10, 10, 200, 62}));
    EXPECT_EQ(panel->ClearButton()->Type(), 2);
    EXPECT_EQ(panel->GridButton()->Type(), 4);
    char label[32];
    panel->NodeLabel(label, sizeof label);
    EXPECT_STREQ(label, "[ None ]");
    const unsigned long slate = static_cast<unsigned long>(zell::gui::statdata.Colour(24));
    const unsigned long wine = static_cast<unsigned long>(zell::gui::statdata.Colour(5));
    Display* d = window.GetDisplay();
    EXPECT_EQ(zell::gui::test::PixelAt(d, window.GetWindow(), 150, 20), slate) << "under buttons";
    EXPECT_EQ(zell::gui::test::PixelAt(d, window.GetWindow(), 100, 80), wine) << "preset box";
}

TEST_P(Gestures, MatrixClicksEditTheCurrentProgramAndTheFiltersFollow) {
    ClickNode(2, 5);
    EXPECT_EQ(Cell(2, 5), kRouteConnected);
    EXPECT_EQ(Program().selectedIn, 2);
    EXPECT_EQ(Program().selectedOut, 5);
    char label[32];
    panel->NodeLabel(label, sizeof label);
    EXPECT_STREQ(label, "[ 3 | 6 ]");
    for (auto* b : panel->FilterButtons()) {
        EXPECT_TRUE(b->Enabled());
        EXPECT_EQ(b->GetValue(), 1);
    }

    // Note off for the node: its sounding note is silenced, the other bits stay.
    p.host.Dispatch(effMainsChanged, 0, 1);
    auto out = p.host.Process({MidiEvent(0x92, 60, 100)}, 64);
    ASSERT_EQ(Bytes(out), (std::vector<std::vector<int>>{{0x92, 60, 100}, {0x95, 60, 100}}));
    ClickButton(panel->FilterButtons()[0]);
    EXPECT_EQ(Cell(2, 5), kRouteConnected & ~kRouteNote);
    out = p.host.Process({}, 64);
    EXPECT_EQ(Bytes(out), (std::vector<std::vector<int>>{{0x85, 60, 0}}));

    // Switching off every other bit too leaves nothing: the node is disconnected.
    for (int k = 1; k < 6; ++k)
        ClickButton(panel->FilterButtons()[k]);
    EXPECT_EQ(Cell(2, 5), 0);
    EXPECT_EQ(panel->Matrix()->selectedNode, -1);
    for (auto* b : panel->FilterButtons())
        EXPECT_FALSE(b->Enabled());
    ClickButton(panel->FilterButtons()[1]);
    EXPECT_EQ(Cell(2, 5), 0) << "a disabled filter does nothing";

    ClickNode(0, 0); // connected: selects it
    EXPECT_EQ(Program().selectedIn, 0);
    ClickNode(7, 7, 3);
    EXPECT_EQ(Cell(7, 7), 0) << "right click disconnects";
    EXPECT_EQ(Program().selectedIn, -1);
}

TEST_P(Gestures, ActionAndOptionButtonsDriveTheParameters) {
    ClickNode(4, 9);
    ClickButton(panel->ClearButton());
    for (int in = 0; in < 16; ++in)
        for (int out = 0; out < 16; ++out)
            ASSERT_EQ(Cell(in, out), 0) << in << " " << out;
    EXPECT_EQ(panel->Matrix()->selectedNode, -1);
    ClickButton(panel->ResetButton());
    EXPECT_EQ(Cell(7, 7), kRouteConnected);
    EXPECT_EQ(Cell(7, 8), 0);
    ClickButton(panel->ClearButton());
    ClickButton(panel->ClearButton());
    EXPECT_EQ(Cell(7, 7), 0) << "each click clears again";

    ClickButton(panel->GridButton());
    EXPECT_EQ(p.plugin->getParameter(3), 1.0f);
    EXPECT_TRUE(panel->Matrix()->showGrid);
    ClickButton(panel->HighlightButton());
    EXPECT_EQ(p.plugin->getParameter(4), 1.0f);
    EXPECT_TRUE(panel->Matrix()->highlightEnabled);
    ClickButton(panel->PresetSwitchButton());
    EXPECT_EQ(p.plugin->getParameter(2), 1.0f);

    // The host's changes come back to the buttons.
    p.host.Dispatch(effSetProgram, 0, 3);
    p.plugin->setParameter(3, 0.0f);
    Settle();
    EXPECT_EQ(panel->GridButton()->GetValue(), 0);
    EXPECT_FALSE(panel->Matrix()->showGrid);

    ClickNode(1, 1); // program 3 is the identity: a click on a connected node selects it
    ClickButton(panel->CopyButton());
    p.host.Dispatch(effSetProgram, 0, 4);
    Settle();
    ClickButton(panel->PasteButton());
    EXPECT_EQ(Program().selectedIn, 1);
    char name[64];
    p.plugin->getProgramName(name);
    EXPECT_STREQ(panel->PresetName(), name);
}

// What the host hears of one user action at its next editor idle: the calls that mark its
// session modified, made on its own thread.
using Told = std::vector<std::tuple<int, int, float>>;
template <typename F> Told HostHears(VstHost& host, F action) {
    host.ClearCalls();
    action();
    host.Dispatch(effEditIdle);
    Told told;
    for (const host::HostCall& c : host.Calls()) {
        if (c.opcode != audioMasterAutomate && c.opcode != audioMasterBeginEdit &&
            c.opcode != audioMasterEndEdit && c.opcode != audioMasterUpdateDisplay)
            continue;
        EXPECT_FALSE(c.fromProcessing);
        EXPECT_EQ(c.thread, std::this_thread::get_id());
        told.emplace_back(c.opcode, c.index, c.opt);
    }
    return told;
}

Told Edited(int parameter, float value) {
    return {{audioMasterBeginEdit, parameter, 0.0f},
            {audioMasterAutomate, parameter, value},
            {audioMasterEndEdit, parameter, 0.0f}};
}

TEST_P(Gestures, EveryEditReachesTheHostAtItsIdleAndNothingElseDoes) {
    // A change only the chunk holds: a display update, and an unchanged option for hosts that
    // count only automation.
    const Told chunk{{audioMasterUpdateDisplay, 0, 0.0f}, {audioMasterAutomate, kParamGrid, 0.0f}};
    EXPECT_EQ(HostHears(p.host, [&] { ClickNode(2, 5); }), chunk) << "node click";
    EXPECT_EQ(HostHears(p.host, [&] { ClickNode(2, 5, 3); }), chunk) << "right click";
    EXPECT_EQ(HostHears(p.host,
                        [&] {
                            MoveTo(panel->Matrix(), 8, 16 * 10 + 8);
                            pointer.Press(1);
                            MoveTo(panel->Matrix(), 16 * 3 + 8, 16 * 10 + 8);
                            pointer.Release(1);
                            Settle();
                        }),
              chunk)
        << "drag";
    EXPECT_EQ(Cell(3, 10), kRouteConnected);
    ClickNode(4, 4);
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->FilterButtons()[1]); }), chunk)
        << "filter";
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->ClearButton()); }), chunk) << "Clear";
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->ResetButton()); }), chunk) << "Reset";
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->CopyButton()); }), Told{}) << "copy";
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->PasteButton()); }), chunk) << "paste";
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->GridButton()); }),
              Edited(kParamGrid, 1.0f));
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->PresetSwitchButton()); }),
              Edited(kParamPresetSwitching, 1.0f));
    EXPECT_EQ(HostHears(p.host, [&] { ClickButton(panel->HighlightButton()); }),
              Edited(kParamHighlight, 1.0f));
    EXPECT_EQ(HostHears(p.host, [&] { ClickNode(9, 9, 3); }),
              (Told{{audioMasterUpdateDisplay, 0, 0.0f}, {audioMasterAutomate, kParamGrid, 1.0f}}))
        << "the unchanged option keeps its value";

    // The host's own changes are not echoed back to it.
    EXPECT_EQ(HostHears(p.host,
                        [&] {
                            p.host.Dispatch(effSetProgram, 0, 5);
                            p.effect()->setParameter(p.effect(), kParamGrid, 0.0f);
                            p.effect()->setParameter(p.effect(), kParamReset, 1.0f);
                            p.effect()->setParameter(p.effect(), kParamReset, 0.0f);
                            VSTPluginProgram program = DefaultProgram();
                            program.selectedIn = program.selectedOut = 6;
                            LoadProgramChunk(p.host, &program, kProgramSize);
                            Settle();
                        }),
              Told{});
    // What the host's idle has not taken yet goes out when the editor closes.
    ClickNode(6, 7);
    p.host.ClearCalls();
    Close();
    EXPECT_EQ(p.host.CountCalls(audioMasterUpdateDisplay), 1u);
    Open();
}

TEST_P(Gestures, LogoHidesOnClickAndTheTipMarkSwitchesTips) {
    zell::gui::SImageLabel* logo = panel->TitleLabel();
    ClickAt(logo, 40, 20);
    EXPECT_FALSE(logo->Shown());
    ClickAt(panel, 40, 30);
    EXPECT_TRUE(logo->Shown());

    zell::gui::SToolTip* tip = panel->Tooltip();
    const bool before = tip->TipsEnabled();
    ClickAt(panel, 5, 5);
    EXPECT_NE(tip->TipsEnabled(), before);
    if (!tip->TipsEnabled()) ClickAt(panel, 5, 5);
    ASSERT_TRUE(tip->TipsEnabled());
    MoveTo(panel->GridButton(), 8, 8);
    EXPECT_TRUE(Eventually([&] {
        zell::gui::SEventPump::Sync();
        return tip->IsOpen();
    }));
    zell::gui::SEventPump::Sync();
    // The panel with room around it for the tip, inside the screen.
    const Point2 origin = zell::gui::test::OnScreen(panel);
    const int room = 100 * scale;
    const int x = std::max(0, origin.x - room), y = std::max(0, origin.y - room);
    zell::gui::test::SaveScreen(window.GetDisplay(), x, y,
                                std::min(307 * scale + 2 * room, 1280 - x),
                                std::min(425 * scale + 2 * room, 1024 - y),
                                scale == 1 ? "editor-tooltip.png" : "editor-tooltip-scale-2.png");
}

INSTANTIATE_TEST_SUITE_P(AtOneAndTwo, Gestures, testing::Values(1, 2));

TEST_F(Editor, ScreenshotWithConnectionsAndASelectedNode) {
    ClickButton(panel->ClearButton());
    for (int i = 0; i < 16; i += 3)
        ClickNode(i, 15 - i);
    ClickNode(6, 2);
    ClickButton(panel->GridButton());
    const Point2 origin = zell::gui::test::OnScreen(panel);
    zell::gui::test::SaveScreen(window.GetDisplay(), origin.x, origin.y, 307, 425, "editor.png");
    const unsigned long lime = static_cast<unsigned long>(zell::gui::statdata.Colour(17));
    EXPECT_EQ(zell::gui::test::PixelAt(window.GetDisplay(), window.GetWindow(), 32 + 16 * 6 + 8,
                                       103 + 16 * 2 + 8),
              lime)
        << "the selected node";
}

// No X server at all, neither at load nor at open: the host is told there is no editor window.
TEST(EditorWithoutServer, OpenAnswersZeroAndCloseIsHarmless) {
    DirectPlugin p{&SEditorKit::Instance()};
    _XDisplay* loaded = zell::gui::dps;
    const std::string display = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    zell::gui::dps = nullptr;
    setenv("DISPLAY", ":4711", 1);
    int window = 1234;
    EXPECT_EQ(p.host.Dispatch(effEditOpen, 0, 0, &window), 0);
    EXPECT_EQ(static_cast<SPluginEditor*>(p.plugin->Editor())->Panel(), nullptr);
    EXPECT_EQ(p.host.Dispatch(effEditClose), 1);
    setenv("DISPLAY", display.c_str(), 1);
    zell::gui::dps = loaded;
}

} // namespace
} // namespace ferrovane::test
