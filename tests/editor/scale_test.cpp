// The editor at the scales 2 and 3 beside the same editor at 1, each in a host window of its own,
// seen from outside: the size the host is told, every window's place and size, and the picture,
// which is the 1x picture at that size wherever no text is drawn. Pictures of all three go to the
// test output folder (a folder of their own for each kind of server the test runs on).
#include "EditorHarness.h"

#include "PngFile.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <functional>
#include <string>

namespace ferrovane::test {
namespace {

using zell::gui::Rect2;

// Every window under `top`, depth first in stacking order, each in top's coordinates.
void Collect(Display* d, Window top, Window w, std::vector<Rect2>& out) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        int x = 0, y = 0;
        Window child;
        if (!XGetWindowAttributes(d, children[i], &a) ||
            !XTranslateCoordinates(d, children[i], top, 0, 0, &x, &y, &child))
            continue;
        out.push_back({x, y, x + a.width, y + a.height});
        Collect(d, top, children[i], out);
    }
    if (children) XFree(children);
}

// The pixels of a window, row by row, read in slices the screen can show: a window taller than
// the screen is moved up for each further slice, and read once the editor has painted what the
// move showed of it. The window ends at y = 0.
std::vector<unsigned long> Pixels(Display* d, Window w, int x, int width, int height,
                                  const std::function<void()>& settle) {
    std::vector<unsigned long> pixels;
    const int screen = DisplayHeight(d, DefaultScreen(d));
    for (int top = 0; top < height; top += screen) {
        XMoveWindow(d, w, x, -top);
        XSync(d, False);
        settle();
        const int rows = std::min(screen, height - top);
        XImage* image = XGetImage(d, w, 0, top, static_cast<unsigned>(width),
                                  static_cast<unsigned>(rows), AllPlanes, ZPixmap);
        if (!image) return {};
        for (int y = 0; y < rows; ++y)
            for (int i = 0; i < width; ++i)
                pixels.push_back(XGetPixel(image, i, y));
        XDestroyImage(image);
    }
    XMoveWindow(d, w, x, 0);
    XSync(d, False);
    settle();
    return pixels;
}

// The pixels of a TrueColor screen as a PNG file.
bool Save(Display* d, const std::vector<unsigned long>& pixels, int width, int height,
          const std::string& name) {
    const Visual* v = DefaultVisual(d, DefaultScreen(d));
    auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1))
            mask >>= 1, ++shift;
        return static_cast<uint8_t>(mask ? ((pixel >> shift) & mask) * 255 / mask : 0);
    };
    std::vector<uint8_t> rgb;
    for (unsigned long p : pixels)
        for (unsigned long mask : {v->red_mask, v->green_mask, v->blue_mask})
            rgb.push_back(channel(p, mask));
    return WritePng(std::string(FERROVANE_TEST_OUTPUT) + "/" + name, width, height, rgb);
}

// One editor of its own, linked in, open in a stand-in host's window at a forced scale.
class Shown {
  public:
    Shown(int scale, int x) : scale(scale), x(x) {
        EnvironmentVariable forced("FERROVANE_SCALE", std::to_string(scale).c_str());
        editor = static_cast<SPluginEditor*>(p.plugin->Editor());
        window.Start();
        ERect* rect = nullptr;
        EXPECT_NE(p.host.Dispatch(effEditGetRect, 0, 0, &rect), 0);
        if (rect) size = {rect->left, rect->top, rect->right, rect->bottom};
        window.Resize(size.Width(), size.Height());
        XMoveWindow(window.GetDisplay(), window.GetWindow(), x, 0);
        EXPECT_EQ(p.host.Dispatch(effEditOpen, 0, 0, window.EditOpenPtr()), 1);
        Settle();
    }
    ~Shown() {
        p.host.Close();
        window.Stop();
    }
    Shown(const Shown&) = delete;
    Shown& operator=(const Shown&) = delete;

    void Settle() { SettleEditor(editor, p.plugin->Globals()); }
    Display* D() { return window.GetDisplay(); }
    std::vector<Rect2> Windows() {
        std::vector<Rect2> all;
        Collect(D(), window.GetWindow(), window.GetWindow(), all);
        return all;
    }
    std::vector<unsigned long> Picture() {
        return Pixels(D(), window.GetWindow(), x, size.Width(), size.Height(),
                      [this] { Settle(); });
    }
    // Connections, a selection and the grid, for a picture that shows every kind of drawing.
    void Edit() {
        VSTPluginProgram program = DefaultProgram("scaled");
        for (int i = 0; i < 16; ++i)
            program.routing[i][i] = 0;
        for (int i = 0; i < 16; i += 3)
            program.routing[i][15 - i] = kRouteConnected;
        program.routing[6][2] = kRouteConnected & ~kRouteCC;
        program.selectedIn = 6;
        program.selectedOut = 2;
        LoadProgramChunk(p.host, &program, kProgramSize);
        p.plugin->setParameter(3, 1.0f);
        Settle();
    }

    int scale;
    int x;
    DirectPlugin p{&SEditorKit::Instance()};
    host::HostWindow window{SPluginEditor::kWidth, SPluginEditor::kHeight, false};
    SPluginEditor* editor = nullptr;
    Rect2 size{};
};

Rect2 Times(const Rect2& r, int s) {
    return {r.x1 * s, r.y1 * s, r.x2 * s, r.y2 * s};
}

// Which fonts the server holds: only its built-in ones, or more.
std::string Folder(Display* d) {
    int count = 0;
    char** path = XGetFontPath(d, &count);
    bool builtIn = count > 0;
    for (int i = 0; i < count; ++i)
        builtIn = builtIn && std::string(path[i]).rfind("built-ins", 0) == 0;
    if (path) XFreeFontPath(path);
    return builtIn ? "builtin-fonts/" : "";
}

class Scales : public testing::TestWithParam<int> {
  protected:
    void SetUp() override { ASSERT_NE(zell::gui::dps, nullptr) << "no X server at load"; }
};

TEST_P(Scales, EveryWindowAtItsPlaceTimesTheScaleAndTheHostToldTheSize) {
    const int s = GetParam();
    Shown one(1, 0);
    Shown scaled(s, 320);
    EXPECT_EQ(one.size, (Rect2{0, 0, 307, 425}));
    EXPECT_EQ(scaled.size, Times(one.size, s)) << "effEditGetRect";
    const std::vector<Rect2> at1 = one.Windows(), atS = scaled.Windows();
    ASSERT_EQ(at1.size(), 18u) << "the panel and its 17 controls";
    ASSERT_EQ(atS.size(), at1.size());
    for (size_t i = 0; i < at1.size(); ++i)
        EXPECT_EQ(atS[i], Times(at1[i], s)) << "window " << i;
    // The layout stays the 1x design: only the server sees the scale.
    EXPECT_EQ(scaled.editor->Panel()->Matrix()->WindowRect(),
              one.editor->Panel()->Matrix()->WindowRect());
    EXPECT_EQ(scaled.editor->Scale(), s);
    EXPECT_EQ(one.editor->Scale(), 1);
}

// A host is asked for the window's size at the scale, and one that cannot size its window has it
// sized at the scale; sizes the editor is given stay the layout's.
TEST_P(Scales, TheHostIsAskedForTheSizeAtTheScale) {
    const int s = GetParam();
    Shown scaled(s, 0);
    VstHost& host = scaled.p.host;
    host.ClearCalls();
    host.Answers().canSizeWindow = false;
    scaled.editor->SetSize(307, 425);
    const std::vector<host::HostCall> calls = host.Calls();
    auto told = std::find_if(calls.begin(), calls.end(), [](const host::HostCall& c) {
        return c.opcode == audioMasterSizeWindow;
    });
    ASSERT_NE(told, calls.end());
    EXPECT_EQ(told->index, 307 * s);
    EXPECT_EQ(told->value, 425 * s);
    XWindowAttributes a;
    XSync(zell::gui::dps, False);
    ASSERT_TRUE(XGetWindowAttributes(scaled.D(), scaled.window.GetWindow(), &a));
    EXPECT_EQ(a.width, 307 * s);
    EXPECT_EQ(a.height, 425 * s);
    EXPECT_EQ(scaled.editor->GetRect(), (Rect2{0, 0, 307, 425}));
}

// The places where texts are drawn, each in the fonts of its scale: the lines beside the logo,
// the preset name, the port numbers, the matrix's watermarks (the inputs' line from (100, 20) of
// the matrix, the outputs' turned upright in (20, 72, 50, 240)), the filter box and the info
// labels (with the gap the filter box's title cuts into its outline), and every button's caption.
std::vector<Rect2> TextPlaces(SPluginPanel* panel) {
    std::vector<Rect2> places = {{72, 10, 297, 64},  {32, 64, 288, 88},    {0, 88, 307, 103},
                                 {0, 103, 32, 359},  {132, 121, 288, 143}, {51, 174, 83, 344},
                                 {32, 360, 79, 390}, {32, 390, 288, 415}};
    for (zell::gui::SControl* b :
         {panel->ClearButton(), panel->ResetButton(), panel->CopyButton(), panel->PasteButton(),
          panel->PresetSwitchButton(), panel->HighlightButton(), panel->GridButton()})
        places.push_back(b->WindowRect().Grown(-1));
    for (zell::gui::SControl* b : panel->FilterButtons())
        places.push_back(b->WindowRect().Grown(-1));
    return places;
}

// The corners of the filter box's rounded outline: at a larger scale its arcs are drawn as arcs
// of that size, as thick as the scale, smoother than the 1x steps enlarged.
std::vector<Rect2> RoundedCorners() {
    const Rect2 box{32, 363, 288, 387};
    const int r = 8;
    return {{box.x1, box.y1, box.x1 + r, box.y1 + r},
            {box.x2 - r, box.y1, box.x2, box.y1 + r},
            {box.x1, box.y2 - r, box.x1 + r, box.y2},
            {box.x2 - r, box.y2 - r, box.x2, box.y2}};
}

bool InAny(const std::vector<Rect2>& places, int x, int y) {
    for (const Rect2& r : places)
        if (x >= r.x1 && x < r.x2 && y >= r.y1 && y < r.y2) return true;
    return false;
}

TEST_P(Scales, PictureIsTheOneAtOneTimesTheScaleOutsideTheTexts) {
    const int s = GetParam();
    Shown one(1, 0);
    Shown scaled(s, 320);
    one.Edit();
    scaled.Edit();
    const int w = 307, h = 425;
    const std::vector<unsigned long> small = one.Picture();
    const std::vector<unsigned long> large = scaled.Picture();
    ASSERT_EQ(small.size(), static_cast<size_t>(w * h));
    ASSERT_EQ(large.size(), static_cast<size_t>(w * h * s * s));
    const std::string folder = Folder(one.D());
    EXPECT_TRUE(
        Save(one.D(), large, w * s, h * s, folder + "editor-scale-" + std::to_string(s) + ".png"));
    if (s == 2) {
        EXPECT_TRUE(Save(one.D(), small, w, h, folder + "editor-scale-1.png"));
    }

    std::vector<Rect2> skipped = TextPlaces(scaled.editor->Panel());
    for (const Rect2& corner : RoundedCorners())
        skipped.push_back(corner);
    int differing = 0;
    std::string first;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (InAny(skipped, x, y)) continue;
            const unsigned long want = small[static_cast<size_t>(y * w + x)];
            for (int i = 0; i < s * s; ++i) {
                const int X = x * s + i % s, Y = y * s + i / s;
                if (large[static_cast<size_t>(Y * w * s + X)] == want) continue;
                if (!differing++) first = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
                break;
            }
        }
    EXPECT_EQ(differing, 0) << "layout pixels drawn otherwise than at 1, the first at " << first;
}

INSTANTIATE_TEST_SUITE_P(TwoAndThree, Scales, testing::Values(2, 3));

} // namespace
} // namespace ferrovane::test
