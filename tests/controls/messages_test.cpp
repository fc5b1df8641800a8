// Message boxes on the toolkit's own connection, served by its event pump as they are when no
// editor exists: the plugin's refusals and newer-chunk messages on screen, the one box reused,
// and a modal call from another thread that waits while the pump dispatches.
#include "PluginHarness.h" // first: Xlib's macros clash with its names

#include "ControlsHarness.h"

#include "PluginEntry.h"
#include "PluginMessage.h"
#include "SEditorKit.h"
#include "SButton.h"
#include "SDrawFont.h"
#include "SEventPump.h"
#include "SInfo.h"
#include "SMessageDialog.h"
#include "SStaticData.h"
#include "SSystemData.h"
#include "ThreadProbe.h"
#include "ToolkitDisplay.h"

#include <fstream>
#include <thread>
#include <unistd.h>

namespace zell::gui::test {
namespace {

class Messages : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(dps, nullptr) << "no X server at load";
        // As the module does before it makes a plugin.
        ferrovane::SetEditorFactory(&ferrovane::SEditorKit::Instance());
        own = zell::gui::OpenDisplay(nullptr);
        ASSERT_NE(own, nullptr);
    }
    void TearDown() override {
        pointer.Park();
        if (own) XCloseDisplay(own);
    }
    bool Viewable(SControl* c) {
        XWindowAttributes a;
        return XGetWindowAttributes(own, c->GetWindow(), &a) && a.map_state == IsViewable;
    }
    // Waits until the pump has shown the box and painted what the map exposed.
    SMessageDialog* ShownBox() {
        SEventPump::Sync();
        SMessageDialog* box = SInfoDialog();
        if (!box || !Eventually([&] { return Viewable(box); })) return nullptr;
        SEventPump::Sync();
        return box;
    }
    void ClickOk(SMessageDialog* box, unsigned b) {
        const Point2 at = OnScreen(box->Button());
        pointer.MoveTo(at.x + 20, at.y + 10);
        pointer.Click(b);
        SEventPump::Sync();
    }
    void Shoot(SMessageDialog* box, const char* name) {
        const Point2 at = OnScreen(box);
        SaveScreen(own, at.x, at.y, box->WindowRect().Width(), box->WindowRect().Height(), name);
    }

    Display* own = nullptr;
    Pointer pointer;
};

TEST_F(Messages, InfoReusesOneCentredBoxThatOkCloses) {
    SInfo("first message", "Ferrovane");
    SMessageDialog* box = ShownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->MessageText().Text(), "first message");
    SInfo("a second message\nof two lines", "Ferrovane");
    ASSERT_EQ(ShownBox(), box) << "the same box";
    EXPECT_STREQ(box->MessageText().Text(), "a second message\nof two lines");
    context::SDrawFont font(7, false, false, false, nullptr);
    const int w = MeasuredWidth(&font, "a second message") + 64;
    const int h = 2 * MeasuredHeight(&font) + 128;
    EXPECT_EQ(box->WindowRect(), (Rect2{(1280 - w) >> 1, (1024 - h) >> 1, ((1280 - w) >> 1) + w,
                                        ((1024 - h) >> 1) + h}));
    ClickOk(box, 3);
    EXPECT_TRUE(box->IsShown()) << "a right click leaves it open";
    ClickOk(box, 1);
    EXPECT_TRUE(Eventually([&] { return !Viewable(box); }));
    EXPECT_FALSE(box->IsShown());
}

// The editor recognises the host while the plugin is made; this one is refused.
TEST_F(Messages, RefusedHostGetsTheBoxOnScreenAndStandardErrorAndNoPlugin) {
    ferrovane::host::HostAnswers answers;
    answers.product = "Usine Hollyhock";
    ferrovane::host::VstHost host(answers);
    testing::internal::CaptureStderr();
    AEffect* effect = host.Create(
        [](audioMasterCallback cb, void*) { return ferrovane::CreatePlugin(cb); }, nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(said, "Ferrovane: Failed to load plugin\n"
                    "Ferrovane: (Reason: Host not supported (Usine))\n");
    SMessageDialog* box = ShownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->MessageText().Text(),
                 "Failed to load plugin\n(Reason: Host not supported (Usine))");
    EXPECT_STREQ(box->TitleText().Text(), "Ferrovane");
    Shoot(box, "message-box-host-not-supported.png");
    const Point2 at = OnScreen(box);
    EXPECT_EQ(PixelAt(own, DefaultRootWindow(own), at.x + 5, at.y + 5),
              static_cast<unsigned long>(statdata.Colour(10)))
        << "the frame's grip corner";
    ClickOk(box, 1);
    EXPECT_TRUE(Eventually([&] { return !Viewable(box); }));
}

std::string Prepared(const std::string& name, const std::string& contents) {
    std::string path =
        std::string(FERROVANE_TEST_OUTPUT) + "/controls-" + name + "-" + std::to_string(getpid());
    std::ofstream(path) << contents;
    return path;
}

TEST_F(Messages, MachineBelowTheRequirementsGetsTheBoxAndNoPlugin) {
    const std::string ostype = Prepared("ostype", "Linux\n"),
                      release = Prepared("osrelease", "2.4.37\n"),
                      cpu = Prepared("cpuinfo", "processor\t: 0\nflags\t\t: fpu sse\n");
    static system::SSystemData machine;
    system::SKernelFiles files;
    files.ostype = ostype.c_str();
    files.osrelease = release.c_str();
    files.version = "/nonexistent";
    machine.getOSInfos(files);
    machine.getCPUInfos(cpu.c_str());
    ferrovane::host::VstHost host;
    testing::internal::CaptureStderr();
    AEffect* effect = host.Create(
        [](audioMasterCallback cb, void*) { return ferrovane::CreatePlugin(cb, machine); },
        nullptr);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(effect, nullptr);
    SMessageDialog* box = ShownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->MessageText().Text(), "Failed to load plugin\n(Reason: System not supported\n"
                                            "Please check the requirements)");
    Shoot(box, "message-box-system-not-supported.png");
    ClickOk(box, 1);
    for (const std::string& path : {ostype, release, cpu})
        unlink(path.c_str());
}

TEST_F(Messages, ProgramChunkFromANewerVersionSaysSo) {
    ferrovane::test::DirectPlugin p{&ferrovane::SEditorKit::Instance()};
    std::vector<unsigned char> program(600, 0);
    ferrovane::VSTPluginProgram prog = ferrovane::test::DefaultProgram("from the future");
    memcpy(program.data(), &prog, sizeof prog);
    testing::internal::CaptureStderr();
    EXPECT_EQ(p.host.Dispatch(effSetChunk, 1, program.size(), program.data()), 1);
    testing::internal::GetCapturedStderr();
    SMessageDialog* box = ShownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->MessageText().Text(),
                 "Failed to load program\n(Reason: Saved with newer version\n"
                 "This version = 1.01\nSome settings will be lost !)");
    Shoot(box, "message-box-newer-program.png");
    ClickOk(box, 1);
}

// The modal call waits on its own thread; the pump alone reads the connection.
TEST_F(Messages, ModalCallFromAnotherThreadEndsWithTheButtonOrACloseRequest) {
    auto* dialog = new SMessageDialog;
    for (bool byButton : {true, false}) {
        std::atomic<bool> returned{false};
        std::thread caller([&] {
            dialog->ShowModal("Wait for me", "Ferrovane");
            returned = true;
        });
        ASSERT_TRUE(Eventually([&] { return Viewable(dialog); }));
        SEventPump::Sync();
        EXPECT_FALSE(returned.load());
        if (byButton) {
            const Point2 at = OnScreen(dialog->Button());
            pointer.MoveTo(at.x + 20, at.y + 10);
            pointer.Click(1);
        } else {
            XEvent e{};
            e.xclient.type = ClientMessage;
            e.xclient.window = dialog->GetWindow();
            e.xclient.message_type = XInternAtom(own, "WM_PROTOCOLS", False);
            e.xclient.format = 32;
            XSendEvent(own, dialog->GetWindow(), False, NoEventMask, &e);
            XFlush(own);
        }
        caller.join();
        EXPECT_TRUE(returned.load());
        EXPECT_FALSE(dialog->IsModal());
        pointer.Park();
    }
    dialog->Retire();
    delete dialog;
}

} // namespace
} // namespace zell::gui::test
