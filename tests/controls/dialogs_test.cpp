// The message dialog on the test's own connection: its layout by measured text, its children,
// closing by a left click on "OK", and the modal loop.
#include "ControlsHarness.h"
#include "GuiHarness.h"

#include "SButton.h"
#include "SDrawFont.h"
#include "SMessageDialog.h"

#include <algorithm>

namespace zell::gui::test {
namespace {

class Dialogs : public OwnDisplay {
  protected:
    void SetUp() override {
        OwnDisplay::SetUp();
        messageFont = new context::SDrawFont(7, false, false, false, nullptr);
        titleFont = new context::SDrawFont(10, true, false, false, nullptr);
        dialog = new SMessageDialog;
    }
    void TearDown() override {
        pointer.Park();
        delete dialog;
        delete titleFont;
        delete messageFont;
        OwnDisplay::TearDown();
    }
    static int Width(context::SDrawFont* f, const char* text) { return MeasuredWidth(f, text); }
    bool Mapped() {
        XWindowAttributes a;
        return XGetWindowAttributes(display, dialog->GetWindow(), &a) && a.map_state == IsViewable;
    }
    // Clicks "OK" where the dialog shows it; the events wait in the connection's queue.
    void ClickOk(unsigned b) {
        Point2 at = OnScreen(dialog->Button());
        pointer.MoveTo(at.x + 20, at.y + 10);
        pointer.Click(b);
    }

    context::SDrawFont* messageFont = nullptr;
    context::SDrawFont* titleFont = nullptr;
    SMessageDialog* dialog = nullptr;
    Pointer pointer;
};

TEST_F(Dialogs, SizesItselfToTheMeasuredText) {
    const char* lines[] = {"A short line", "and a noticeably longer second line"};
    dialog->SetMessage("A short line\nand a noticeably longer second line", "Ferrovane");
    const int w = std::max({Width(messageFont, lines[0]), Width(messageFont, lines[1]),
                            Width(titleFont, "Ferrovane")});
    const int h = 2 * MeasuredHeight(messageFont);
    EXPECT_EQ(dialog->WindowRect(), (Rect2{0, 0, w + 64, h + 128}));
    EXPECT_EQ(dialog->TitleLabel()->WindowRect(), (Rect2{10, 10, 10 + w + 44, 30}));
    EXPECT_EQ(dialog->MessageLabel()->WindowRect(), (Rect2{10, 40, 10 + w + 44, 40 + h + 38}));
    const int bx = (w + 64) / 2 - 20;
    EXPECT_EQ(dialog->Button()->WindowRect(), (Rect2{bx, h + 88, bx + 40, h + 108}));
    EXPECT_STREQ(dialog->GetLabel().Text(), "Ferrovane") << "the window title";
    EXPECT_FALSE(dialog->IsShown());
}

TEST_F(Dialogs, ALongTitleWidensTheBoxAndEmptyTextsGiveTheSmallestBox) {
    dialog->SetMessage("ok", "A title much wider than the message");
    EXPECT_EQ(dialog->WindowRect().Width(),
              Width(titleFont, "A title much wider than the message") + 64);
    dialog->SetMessage(nullptr, nullptr);
    EXPECT_EQ(dialog->WindowRect(), (Rect2{0, 0, 64, 128}));
    EXPECT_STREQ(dialog->MessageText().Text(), "");
}

TEST_F(Dialogs, ChildrenCarryTheirIdsAndTheWindowItsNumberedTitle) {
    const auto& children = dialog->Children();
    ASSERT_EQ(children.size(), 3u);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(children[i].id, i + 1);
    EXPECT_EQ(children[0].control.get(), dialog->TitleLabel());
    EXPECT_EQ(children[2].control.get(), dialog->Button());
    EXPECT_EQ(dialog->Button()->Type(), kButtonPush);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(display, dialog->GetWindow(), &name));
    EXPECT_EQ(std::string(name).rfind("SDialog (ID ", 0), 0u) << name;
    XFree(name);
}

TEST_F(Dialogs, LeftClickOnOkClosesRightClickDoesNot) {
    dialog->ShowMessage("Close me with a left click", "Ferrovane");
    Dispatch();
    ASSERT_TRUE(Mapped());
    ClickOk(3);
    Dispatch();
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_TRUE(Mapped());
    ClickOk(1);
    Dispatch();
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_FALSE(Mapped());
}

TEST_F(Dialogs, ModalLoopEndsWithTheButton) {
    dialog->ShowMessage("Modal", "Ferrovane");
    Dispatch();
    ClickOk(1);
    dialog->ShowModal(); // dispatches the queued click itself
    EXPECT_FALSE(dialog->IsModal());
    EXPECT_FALSE(dialog->IsShown());
    dialog->ShowMessage("Modal again", "Ferrovane");
    Dispatch();
    ClickOk(1);
    dialog->ShowModal("Modal again", "Ferrovane");
    EXPECT_FALSE(dialog->IsShown());
}

TEST_F(Dialogs, ModalLoopReturnsOnAnyCloseRequestAndStaysOpen) {
    dialog->ShowMessage("Modal", "Ferrovane");
    Dispatch();
    Recorder other(globals, nullptr, 7, kFlagTopLevel, 400, 400, 20, 20);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = other.GetWindow();
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    XSendEvent(display, other.GetWindow(), False, NoEventMask, &e);
    dialog->ShowModal();
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_FALSE(other.stopped) << "the loop takes the request without dispatching it";
    dialog->CloseDialog();
    EXPECT_FALSE(dialog->IsModal());
}

} // namespace
} // namespace zell::gui::test
