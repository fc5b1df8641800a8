// The plugin linked into the test with its editor open in the stand-in host's window, real
// pointer events, and waiting for the editor's idle pass and the painting it asks for.
#pragma once

#include "PluginHarness.h" // first: Xlib's macros clash with its names

#include "ControlsHarness.h"

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

namespace ferrovane::test {

using zell::gui::Point2;
using zell::gui::test::Pointer;

class OpenEditor : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(zell::gui::dps, nullptr) << "no X server at load";
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

    void Open() {
        ASSERT_EQ(p.host.Dispatch(effEditOpen, 0, 0, window.EditOpenPtr()), 1);
        panel = editor->Panel();
        ASSERT_NE(panel, nullptr);
        Settle();
    }
    void Close() { EXPECT_EQ(p.host.Dispatch(effEditClose), 1); }

    // Returns once the idle pass has taken every request and the pump has painted the result.
    void Settle() {
        zell::gui::SEventPump::Sync();
        EXPECT_TRUE(Eventually(
            [&] { return !editor->UpdatePending() && !editor->IndexedUpdatePending(); }));
        // The pass holds the lock from taking the request to the end of the refresh.
        { std::lock_guard<std::recursive_mutex> pass(p.plugin->Globals()->uiLock); }
        zell::gui::SEventPump::Sync();
    }

    // A click on a control at (x, y) of its own, then the editor's answer to what it changed.
    void ClickAt(zell::gui::SControl* c, int x, int y, unsigned button = 1) {
        const Point2 at = zell::gui::test::OnScreen(c);
        pointer.MoveTo(at.x + x, at.y + y);
        pointer.Click(button);
        Settle();
    }
    void ClickNode(int in, int out, unsigned button = 1) {
        ClickAt(panel->Matrix(), 16 * in + 8, 16 * out + 8, button);
    }
    void ClickButton(zell::gui::SControl* b) {
        ClickAt(b, b->WindowRect().Width() / 2, b->WindowRect().Height() / 2);
    }

    VSTPluginProgram& Program() { return p.plugin->CurrentProgram(); }
    uint16_t Cell(int in, int out) { return Program().routing[in][out]; }

    host::HostWindow window{SPluginEditor::kWidth, SPluginEditor::kHeight, false};
    DirectPlugin p{&SEditorKit::Instance()};
    SPluginEditor* editor = nullptr;
    SPluginPanel* panel = nullptr;
    Pointer pointer;
};

} // namespace ferrovane::test
