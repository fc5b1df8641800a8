// The LV2 UI of the built bundle, found and loaded by a host built on lilv as suil loads X11 UIs,
// embedded in the host's window, with real clicks: what it tells the host, what it shows of the
// host's changes, and the careless hosts. The host ends the process on any X error (installed for
// the whole of this program), as GTK2 hosts do.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "Lv2Router.h"

#include "EnvironmentVariable.h"
#include "ExitingXHandlers.h"
#include "HostWindow.h"
#include "PngFile.h"
#include "Relaxed.h"
#include "ThreadProbe.h"
#include "XUser.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <dlfcn.h>
#include <functional>
#include <limits>
#include <mutex>

using zell::threading::LoadRelaxed;

namespace ferrovane::test {
namespace {

class ExitingHandlers : public testing::Environment {
  public:
    void SetUp() override { host::InstallExitingXHandlers(); }
};
const auto* const kHandlers = testing::AddGlobalTestEnvironment(new ExitingHandlers);

constexpr int kWidth = 307, kHeight = 425;
constexpr int kGridX = 232, kGridY = 50;
constexpr int kClearX = 267, kClearY = 25;

constexpr int NodeX(int in) {
    return 32 + 16 * in + 8;
}
constexpr int NodeY(int out) {
    return 103 + 16 * out + 8;
}

// How many pixels of the rectangle from (x, y) have this colour (24-bit TrueColor).
int PixelsOf(Display* d, Drawable w, int x, int y, int width, int height, unsigned long colour) {
    XImage* image = XGetImage(d, w, x, y, width, height, AllPlanes, ZPixmap);
    if (!image) return -1;
    int count = 0;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            count += XGetPixel(image, i, j) == colour;
    XDestroyImage(image);
    return count;
}

// The UI's object as lilv names it for the plugin, loaded and unloaded as suil does.
struct UiModule {
    explicit UiModule(Lv2World& world) {
        const LilvPlugin* plugin = world.Plugin(lv2::kPluginUri);
        LilvUIs* uis = lilv_plugin_get_uis(plugin);
        LILV_FOREACH(uis, i, uis) {
            const LilvUI* ui = lilv_uis_get(uis, i);
            if (std::string(lilv_node_as_uri(lilv_ui_get_uri(ui))) != lv2::kUiUri) continue;
            char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
            bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
            handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
            lilv_free(path);
        }
        lilv_uis_free(uis);
        using Entry = const LV2UI_Descriptor* (*)(uint32_t);
        if (auto entry =
                handle ? reinterpret_cast<Entry>(dlsym(handle, "lv2ui_descriptor")) : nullptr)
            descriptor = entry(0);
    }
    ~UiModule() {
        if (handle) dlclose(handle);
        lilv_free(bundle);
    }
    void* handle = nullptr;
    char* bundle = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
};

// A host with the plugin running and its UI in the host's window; its callbacks record what the
// UI tells it.
struct UiHost {
    UiHost() : module(dsp.world), window(kWidth, kHeight, false, "Ferrovane LV2 Host") {
        window.Start();
    }
    ~UiHost() {
        Close();
        window.Stop();
    }

    // Instantiates the UI with the features named; true when it made one.
    bool Open(bool instanceAccess = true, bool parent = true) {
        std::vector<const LV2_Feature*> features(dsp.world.Features(), dsp.world.Features() + 2);
        instanceFeature = {LV2_INSTANCE_ACCESS_URI, dsp.plugin.Handle()};
        parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(window.GetWindow())};
        resize = {this, [](LV2UI_Feature_Handle h, int w, int hgt) {
                      auto* self = static_cast<UiHost*>(h);
                      std::lock_guard<std::mutex> hold(self->lock);
                      self->sizes.emplace_back(w, hgt);
                      return 0;
                  }};
        resizeFeature = {LV2_UI__resize, &resize};
        touch = {this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                     auto* self = static_cast<UiHost*>(h);
                     std::lock_guard<std::mutex> hold(self->lock);
                     self->calls.push_back((grabbed ? "touch " : "release ") +
                                           std::to_string(port));
                 }};
        touchFeature = {LV2_UI__touch, &touch};
        if (instanceAccess) features.push_back(&instanceFeature);
        if (parent) features.push_back(&parentFeature);
        if (!options.empty()) {
            options.push_back({});
            optionsFeature = {LV2_OPTIONS__options, options.data()};
            features.push_back(&optionsFeature);
        }
        features.push_back(&resizeFeature);
        features.push_back(&touchFeature);
        features.push_back(nullptr);
        ui = module.descriptor->instantiate(
            module.descriptor, lv2::kPluginUri, module.bundle,
            [](LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t format, const void* v) {
                auto* self = static_cast<UiHost*>(c);
                std::lock_guard<std::mutex> hold(self->lock);
                if (format == 0 && size == sizeof(float))
                    self->calls.push_back("write " + std::to_string(port) + " " +
                                          std::to_string(*static_cast<const float*>(v)));
            },
            this, &widget, features.data());
        return ui != nullptr;
    }
    int Idle() {
        const auto* idle = static_cast<const LV2UI_Idle_Interface*>(
            module.descriptor->extension_data(LV2_UI__idleInterface));
        return idle->idle(ui);
    }
    void Close() {
        if (ui) module.descriptor->cleanup(ui);
        ui = nullptr;
    }
    std::vector<std::string> TakeCalls() {
        std::lock_guard<std::mutex> hold(lock);
        return std::exchange(calls, {});
    }
    Window Panel() const { return static_cast<Window>(reinterpret_cast<uintptr_t>(widget)); }
    // The host's ui:scaleFactor among the options Open gives, of the type and size given.
    void OfferScale(const void* value, LV2_URID type, uint32_t size) {
        options.push_back(
            {LV2_OPTIONS_INSTANCE, 0, dsp.world.Map(LV2_UI__scaleFactor), size, type, value});
    }
    // A click in the panel, once the editor shows it and has let go of the pointer: a control
    // grabs the pointer as it takes a press, and a grab that reaches the server after a quick
    // release holds until the next one.
    void ClickAt(int x, int y) {
        Display* d = window.GetDisplay();
        ASSERT_TRUE(Eventually([&] { return MappedChildren(d, window.GetWindow()) == 1; }));
        ASSERT_TRUE(Eventually([&] {
            const bool free =
                XGrabPointer(d, DefaultRootWindow(d), False, ButtonPressMask, GrabModeAsync,
                             GrabModeAsync, 0, 0, CurrentTime) == GrabSuccess;
            if (free) XUngrabPointer(d, CurrentTime);
            XSync(d, False);
            return free;
        }));
        Click(d, window.GetWindow(), x, y);
    }

    Lv2Router dsp;
    UiModule module;
    host::HostWindow window;
    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    LV2_Feature instanceFeature{}, parentFeature{}, resizeFeature{}, touchFeature{};
    LV2_Feature optionsFeature{};
    std::vector<LV2_Options_Option> options;
    LV2UI_Resize resize{};
    LV2UI_Touch touch{};
    std::mutex lock;
    std::vector<std::pair<int, int>> sizes;
    std::vector<std::string> calls;
};

TEST(Lv2Ui, EmbeddedInTheHostsWindowAndGoneWithoutAThreadLeft) {
    const int before = BaseThreads();
    {
        UiHost h;
        ASSERT_NE(h.module.descriptor, nullptr);
        ASSERT_TRUE(h.Open());
        Display* d = h.window.GetDisplay();
        EXPECT_TRUE(Eventually([&] { return MappedChildren(d, h.window.GetWindow()) == 1; }));
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        ASSERT_TRUE(XQueryTree(d, h.Panel(), &root, &parent, &children, &count));
        if (children) XFree(children);
        EXPECT_EQ(parent, h.window.GetWindow()) << "the widget is the window placed in the host's";
        XWindowAttributes a;
        ASSERT_TRUE(XGetWindowAttributes(d, h.Panel(), &a));
        EXPECT_EQ(a.width, kWidth);
        EXPECT_EQ(a.height, kHeight);
        EXPECT_EQ(h.sizes, (std::vector<std::pair<int, int>>{{kWidth, kHeight}}));

        h.ClickAt(NodeX(2), NodeY(5)); // selects (2, 5), connected by the click
        EXPECT_TRUE(Eventually([&] {
            return PixelAt(d, h.window.GetWindow(), NodeX(2), NodeY(5)) == 0xC0FF00;
        })) << "the selected node, drawn";
        EXPECT_TRUE(Eventually([&] {
            return PixelAt(d, h.window.GetWindow(), 150, 363) == 0xC0FF00;
        })) << "the filter box outlined for the selection, after the editor's refresh";
        EXPECT_TRUE(WriteDrawablePng(d, h.window.GetWindow(), 0, 0, kWidth, kHeight,
                                     "lv2-ui-lilv-host.png"));
        // A click on the logo shows what lies under it: the copyright line in steel, and no
        // line of a plugin format's below it (the logo's area ends left of the option buttons).
        const int controls = MappedChildren(d, h.Panel());
        h.ClickAt(40, 20);
        EXPECT_TRUE(Eventually([&] { return MappedChildren(d, h.Panel()) == controls - 1; }));
        constexpr unsigned long kSteel = 0x8A9196;
        EXPECT_TRUE(Eventually([&] { // once the panel has drawn where the logo was
            return PixelsOf(d, h.window.GetWindow(), 44, 31, 150, 15, kSteel) > 0 &&
                   PixelsOf(d, h.window.GetWindow(), 28, 47, 166, 16, kSteel) == 0;
        }));
        h.Close();
        EXPECT_TRUE(Eventually([&] { return MappedChildren(d, h.window.GetWindow()) == 0; }));
        EXPECT_EQ(Bytes(h.dsp.Play({Msg(0, {0xB2, 1, 1})})), (B{{0xB2, 1, 1}, {0xB5, 1, 1}}))
            << "the plugin keeps the edit and runs on without its UI";
    }
    EXPECT_TRUE(ThreadsSettleAt(before)) << "the pump and the idle thread are gone";
}

// The host's scale factor, where nothing before it decides: the UI asks for its size at that
// scale and takes the clicks at its places times the scale. A factor that is none, or not a
// float, says nothing.
TEST(Lv2Ui, TheHostsScaleFactorSizesTheEditor) {
    EnvironmentVariable forced("FERROVANE_SCALE", nullptr);
    EnvironmentVariable gdk("GDK_SCALE", nullptr);
    auto sizeWith = [](const void* value, const char* type, uint32_t size,
                       const std::function<void(UiHost&)>& more = {}) {
        UiHost h;
        h.OfferScale(value, h.dsp.world.Map(type), size);
        EXPECT_TRUE(h.Open());
        XWindowAttributes a{};
        EXPECT_TRUE(XGetWindowAttributes(h.window.GetDisplay(), h.Panel(), &a));
        EXPECT_EQ(h.sizes, (std::vector<std::pair<int, int>>{{a.width, a.height}}))
            << "ui:resize with the panel's size";
        if (more) more(h);
        return std::pair{a.width, a.height};
    };
    const float two = 2.0f;
    EXPECT_EQ(sizeWith(&two, LV2_ATOM__Float, sizeof two,
                       [](UiHost& h) {
                           h.window.Resize(2 * kWidth, 2 * kHeight);
                           h.ClickAt(2 * NodeX(2), 2 * NodeY(5));
                           EXPECT_TRUE(Eventually([&] {
                               return LoadRelaxed(h.dsp.Engine().CurrentProgram().routing[2][5]) !=
                                      0;
                           })) << "the node under the click at 2";
                       }),
              (std::pair{2 * kWidth, 2 * kHeight}));
    const float three = 2.6f;
    EXPECT_EQ(sizeWith(&three, LV2_ATOM__Float, sizeof three),
              (std::pair{3 * kWidth, 3 * kHeight}));
    for (float bad : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN(), 1.2f})
        EXPECT_EQ(sizeWith(&bad, LV2_ATOM__Float, sizeof bad), (std::pair{kWidth, kHeight})) << bad;
    const int32_t whole = 2;
    EXPECT_EQ(sizeWith(&whole, LV2_ATOM__Int, sizeof whole), (std::pair{kWidth, kHeight}))
        << "an Int is no scale factor";
    const double wide = 2.0;
    EXPECT_EQ(sizeWith(&wide, LV2_ATOM__Float, sizeof wide), (std::pair{kWidth, kHeight}))
        << "a Float of the wrong size";
    EXPECT_EQ(sizeWith(nullptr, LV2_ATOM__Float, sizeof two), (std::pair{kWidth, kHeight}));
    EnvironmentVariable one("FERROVANE_SCALE", "1");
    EXPECT_EQ(sizeWith(&two, LV2_ATOM__Float, sizeof two), (std::pair{kWidth, kHeight}))
        << "the user's forced scale before the host's";
}

TEST(Lv2Ui, OptionsReachTheHostAsPortWritesAndOtherEditsAsAStateChange) {
    UiHost h;
    ASSERT_TRUE(h.Open());
    h.ClickAt(kGridX, kGridY);
    EXPECT_TRUE(Eventually([&] { return h.dsp.Engine().getParameter(3) == 1.0f; }));
    EXPECT_TRUE(Eventually([&] {
        h.Idle();
        return !h.TakeCalls().empty();
    }));
    h.ClickAt(kGridX, kGridY);
    EXPECT_TRUE(Eventually([&] { return h.dsp.Engine().getParameter(3) == 0.0f; }));
    std::vector<std::string> calls;
    EXPECT_TRUE(Eventually([&] {
        h.Idle();
        calls = h.TakeCalls();
        return !calls.empty();
    }));
    EXPECT_EQ(calls, (std::vector<std::string>{"touch 5", "write 5 0.000000", "release 5"}));
    h.dsp.plugin.Set("grid", 0.0f);
    EXPECT_TRUE(h.dsp.Play({}).empty());
    EXPECT_TRUE(h.dsp.plugin.Notifications().empty()) << "an option is no state change";

    h.ClickAt(NodeX(0), NodeY(3));
    EXPECT_TRUE(Eventually(
        [&] { return LoadRelaxed(h.dsp.Engine().CurrentProgram().routing[0][3]) != 0; }));
    EXPECT_TRUE(Eventually([&] {
        h.dsp.Play({});
        return h.dsp.plugin.Notifications() ==
               std::vector<LV2_URID>{h.dsp.world.Map(LV2_STATE__StateChanged)};
    }));
    h.dsp.Play({});
    EXPECT_TRUE(h.dsp.plugin.Notifications().empty()) << "told once";
    h.ClickAt(kClearX, kClearY);
    EXPECT_TRUE(Eventually([&] {
        h.dsp.Play({});
        return !h.dsp.plugin.Notifications().empty();
    })) << "Clear changed the bank";
    h.Idle();
    EXPECT_TRUE(h.TakeCalls().empty()) << "an action is never written: the host would press it";
}

TEST(Lv2Ui, TheHostsChangesAreShownAndNeverEchoed) {
    UiHost h;
    ASSERT_TRUE(h.Open());
    Display* d = h.window.GetDisplay();
    const Window w = h.window.GetWindow();
    h.ClickAt(NodeX(7), NodeY(9));
    ASSERT_TRUE(Eventually([&] { return PixelAt(d, w, NodeX(7), NodeY(9)) == 0xC0FF00; }));
    const unsigned long off = PixelAt(d, w, kGridX, kGridY);
    h.dsp.plugin.Set("grid", 1.0f);
    h.dsp.Play({});
    EXPECT_TRUE(Eventually([&] { return PixelAt(d, w, kGridX, kGridY) != off; }))
        << "the grid button shows the host's change";
    h.dsp.plugin.Set("clear", 1.0f);
    h.dsp.Play({});
    EXPECT_TRUE(Eventually([&] { return PixelAt(d, w, NodeX(7), NodeY(9)) != 0xC0FF00; }))
        << "the cleared matrix, without its selection";
    for (int i = 0; i < 5; ++i) {
        h.Idle();
        h.dsp.Play({});
    }
    EXPECT_TRUE(h.TakeCalls().empty());
    EXPECT_TRUE(h.dsp.plugin.Notifications().empty());
}

TEST(Lv2Ui, CarelessHostsCannotBreakIt) {
    UiHost h;
    EXPECT_FALSE(h.Open(false, true)) << "without the plugin's instance there is nothing to edit";
    EXPECT_FALSE(h.Open(true, false)) << "without a parent there is nowhere to show it";
    // The host destroys its window (and the editor's with it) before it closes the UI, then
    // opens a UI again in a new window.
    ASSERT_TRUE(h.Open());
    h.window.DestroyWindow();
    h.Close();
    h.window.NewWindow();
    ASSERT_TRUE(h.Open());
    h.ClickAt(NodeX(1), NodeY(1));
    EXPECT_TRUE(Eventually([&] {
        const VSTPluginProgram& p = h.dsp.Engine().CurrentProgram();
        return LoadRelaxed(p.routing[1][1]) == 0 || LoadRelaxed(p.selectedIn) == 1;
    }));
    // The plugin goes on while its UI is closed and opened again, and two UIs in turn.
    h.Close();
    ASSERT_TRUE(h.Open());
    h.Close();
    SUCCEED() << "no X error reached the host's handler, which would have ended the program";
}

} // namespace
} // namespace ferrovane::test
