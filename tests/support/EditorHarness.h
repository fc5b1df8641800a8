// The plugin linked into the test with its editor open in the stand-in host's window, real
// pointer events, and waiting for the editor's idle pass and the painting it asks for.
#pragma once

#include "PluginHarness.h" // first: Xlib's macros clash with its names

#include "ControlsHarness.h"
#include "EnvironmentVariable.h"

#include "HostWindow.h"
#include "SButton.h"
#include "SButtonMatrix16.h"
#include "SEditorKit.h"
#include "SEventPump.h"
#include "SGlobals.h"
#include "SPluginEditor.h"
#include "SPluginPanel.h"
#include "ThreadProbe.h"
#include "ToolkitDisplay.h"

#include <mutex>
#include <optional>
#include <string>

namespace ferrovane::test {

using zell::gui::Point2;
using zell::gui::test::Pointer;

// Returns once the editor's idle pass has taken every request and the pump has painted the
// result.
inline void SettleEditor(SPluginEditor* editor, zell::gui::SGlobals* globals) {
    zell::gui::SEventPump::Sync();
    EXPECT_TRUE(
        Eventually([&] { return !editor->UpdatePending() && !editor->IndexedUpdatePending(); }));
    // The pass holds the lock from taking the request to the end of the refresh.
    { std::lock_guard<std::recursive_mutex> pass(globals->uiLock); }
    zell::gui::SEventPump::Sync();
}

class OpenEditor : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(zell::gui::dps, nullptr) << "no X server at load";
        // The editor's scale is forced, whatever the desktop running the tests asks for.
        forced.emplace("FERROVANE_SCALE", std::to_string(scale).c_str());
        ASSERT_TRUE(window.Ok());
        window.Start();
        ASSERT_NE(p.plugin, nullptr);
        editor = static_cast<SPluginEditor*>(p.plugin->Editor());
        ASSERT_NE(editor, nullptr);
        Open();
    }
    void TearDown() override {
        pointer.Park();
        p.host.Close(); // deletes the editor with its window still open
        window.Stop();
    }

    // As a host opens an editor: its window sized as the editor asks, then the editor in it.
    void Open() {
        ERect* rect = nullptr;
        ASSERT_NE(p.host.Dispatch(effEditGetRect, 0, 0, &rect), 0);
        ASSERT_NE(rect, nullptr);
        window.Resize(rect->right - rect->left, rect->bottom - rect->top);
        ASSERT_EQ(p.host.Dispatch(effEditOpen, 0, 0, window.EditOpenPtr()), 1);
        panel = editor->Panel();
        ASSERT_NE(panel, nullptr);
        Settle();
    }
    void Close() { EXPECT_EQ(p.host.Dispatch(effEditClose), 1); }

    void Settle() { SettleEditor(editor, p.plugin->Globals()); }

    // Where the point (x, y) of a control's layout is on the screen: the middle of the screen
    // pixels that stand for it at the editor's scale.
    Point2 ScreenPoint(zell::gui::SControl* c, int x, int y) {
        const Point2 at = zell::gui::test::OnScreen(c);
        return {at.x + x * scale + scale / 2, at.y + y * scale + scale / 2};
    }
    void MoveTo(zell::gui::SControl* c, int x, int y) {
        const Point2 at = ScreenPoint(c, x, y);
        pointer.MoveTo(at.x, at.y);
    }
    // A click on a control at (x, y) of its own, then the editor's answer to what it changed.
    void ClickAt(zell::gui::SControl* c, int x, int y, unsigned button = 1) {
        MoveTo(c, x, y);
        pointer.Click(button);
        Settle();
    }
    void ClickNode(int in, int out, unsigned button = 1) {
        ClickAt(panel->Matrix(), 16 * in + 8, 16 * out + 8, button);
    }
    void ClickButton(zell::gui::SControl* b) {
        ClickAt(b, b->WindowRect().Width() / 2, b->WindowRect().Height() / 2);
    }

    VSTPluginProgram& Program() { return p.plugin->Engine().CurrentProgram(); }
    uint16_t Cell(int in, int out) { return Program().routing[in][out]; }

    int scale = 1; // the editor's, set before SetUp
    std::optional<EnvironmentVariable> forced;
    host::HostWindow window{SPluginEditor::kWidth, SPluginEditor::kHeight, false};
    DirectPlugin p{&SEditorKit::Instance()};
    SPluginEditor* editor = nullptr;
    SPluginPanel* panel = nullptr;
    Pointer pointer;
};

} // namespace ferrovane::test
