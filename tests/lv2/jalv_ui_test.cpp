// The LV2 UI embedded by a real LV2 UI host: jalv.gtk3, which embeds an X11 UI through suil in a
// GTK window of its own, running the plugin as a JACK client. Its window is read back as a
// picture, with the editor drawn in it.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "JackServer.h"
#include "JalvProcess.h"
#include "Lv2Host.h"
#include "PngFile.h"
#include "XUser.h"

namespace ferrovane::test {
namespace {

TEST(Lv2JalvUi, JalvGtkEmbedsTheEditorInItsWindow) {
    if (system("command -v jalv.gtk3 >/dev/null") != 0) GTEST_SKIP() << "no jalv.gtk3";
    Lv2World world; // the scratch LV2 path with the built bundle
    JackServer server;
    ASSERT_TRUE(server.Ok());
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    Jalv jalv("jalv.gtk3", server.Name(), JackClientName("ferrovane-jalv-gtk"),
              world.Scratch() + "/path:/usr/lib/lv2", {});
    Window window = 0;
    ASSERT_TRUE(Within(60, [&] { return (window = NamedWindow(d, "Ferrovane")) != 0; }))
        << "jalv's window, named after the plugin";
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, window, &a));
    EXPECT_EQ(a.width, 307) << "the editor's size, which the UI asked for";
    EXPECT_EQ(a.height, 425);
    // The editor's first refresh shows the program's name and its matrix: node (1, 1) drawn as
    // connected, in the blue of a connected node.
    EXPECT_TRUE(Within(30, [&] { return PixelAt(d, window, 32 + 8, 103 + 8) == 0x0000FF; }))
        << "the identity matrix, drawn";
    EXPECT_TRUE(WriteDrawablePng(d, window, 0, 0, 307, 425, "lv2-ui-jalv-gtk3.png"));
    EXPECT_EQ(jalv.Quit(), 0);
    XCloseDisplay(d);
}

} // namespace
} // namespace ferrovane::test
