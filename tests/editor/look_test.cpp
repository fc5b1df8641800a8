// The editor as a user sees it, read back pixel by pixel: every text drawn and inside its place,
// the filter buttons' colours, the hover bands and the tip mark, and the message box. The same
// tests run on the suite's server with the usual fonts and on servers of their own with only the
// built-in fonts or only the misc fonts, where the editor draws with the fonts it falls back to.
#include "EditorHarness.h"

#include "PanelColours.h"
#include "SDrawDevice.h"
#include "SDrawFont.h"
#include "SInfo.h"
#include "SLabel.h"
#include "SMessageDialog.h"
#include "SStaticData.h"
#include "SToolTip.h"

#include <string>

namespace ferrovane::test {
namespace {

using zell::gui::Rect2;
using namespace colours;

unsigned long Colour(int name) {
    return static_cast<unsigned long>(static_cast<unsigned>(Pixel(name)));
}

// The pixels of an area of a drawable drawn at a scale, read in one request. Everything here is
// in the layout's coordinates of the drawable: a layout pixel stands for a square of the scale's
// side.
class Grab {
  public:
    Grab(Display* d, Drawable w, const Rect2& area, int scale = 1) : area(area), scale(scale) {
        XImage* image = XGetImage(d, w, area.x1 * scale, area.y1 * scale,
                                  static_cast<unsigned>(area.Width() * scale),
                                  static_cast<unsigned>(area.Height() * scale), AllPlanes, ZPixmap);
        if (!image) return;
        for (int y = 0; y < area.Height() * scale; ++y)
            for (int x = 0; x < area.Width() * scale; ++x)
                pixels.push_back(XGetPixel(image, x, y));
        XDestroyImage(image);
    }
    bool Ok() const { return !pixels.empty(); }
    // The first of the screen pixels of a layout pixel.
    unsigned long At(int x, int y) const { return Device(x * scale, y * scale); }
    // The box around the pixels of the colour inside r, in whole layout pixels; all 0 when there
    // is none.
    Rect2 Ink(const Rect2& r, unsigned long colour) const {
        Rect2 box{};
        for (int y = r.y1 * scale; y < r.y2 * scale; ++y)
            for (int x = r.x1 * scale; x < r.x2 * scale; ++x) {
                if (Device(x, y) != colour) continue;
                const Rect2 pixel{x / scale, y / scale, x / scale + 1, y / scale + 1};
                if (box.Width() == 0)
                    box = pixel;
                else
                    box = {std::min(box.x1, pixel.x1), std::min(box.y1, pixel.y1),
                           std::max(box.x2, pixel.x2), std::max(box.y2, pixel.y2)};
            }
        return box;
    }
    // The rows of r that hold the colour, in runs: how many runs there are.
    int RowRuns(const Rect2& r, unsigned long colour) const {
        int runs = 0;
        bool inRun = false;
        for (int y = r.y1; y < r.y2; ++y) {
            const bool inked = Ink(Rect2{r.x1, y, r.x2, y + 1}, colour).Width() > 0;
            if (inked && !inRun) ++runs;
            inRun = inked;
        }
        return runs;
    }

  private:
    unsigned long Device(int x, int y) const {
        const int width = area.Width() * scale;
        return pixels[static_cast<size_t>(y - area.y1 * scale) * width + (x - area.x1 * scale)];
    }

    Rect2 area;
    int scale;
    std::vector<unsigned long> pixels;
};

bool Inside(const Rect2& inner, const Rect2& outer) {
    return inner.x1 >= outer.x1 && inner.y1 >= outer.y1 && inner.x2 <= outer.x2 &&
           inner.y2 <= outer.y2;
}

std::string Show(const Rect2& r) {
    return "(" + std::to_string(r.x1) + ", " + std::to_string(r.y1) + ", " + std::to_string(r.x2) +
           ", " + std::to_string(r.y2) + ")";
}

// Text of the colour is drawn in `searched` and all of it lies in `allowed`.
void ExpectText(const Grab& g, const Rect2& searched, unsigned long colour, const Rect2& allowed,
                const std::string& what) {
    const Rect2 ink = g.Ink(searched, colour);
    EXPECT_GT(ink.Width(), 0) << what << " is not drawn";
    EXPECT_TRUE(Inside(ink, allowed)) << what << " at " << Show(ink) << " leaves " << Show(allowed);
}

// Which fonts the server was started with, from its font path (which always ends with the
// server's built-in fonts).
std::string FontSet(Display* d) {
    int count = 0;
    char** path = XGetFontPath(d, &count);
    bool builtIn = count > 0, misc = count > 0;
    for (int i = 0; i < count; ++i) {
        std::string element = path[i];
        if (element.ends_with('/')) element.pop_back();
        builtIn = builtIn && element == "built-ins";
        misc = misc && (element == "built-ins" || element.ends_with("/misc"));
    }
    if (path) XFreeFontPath(path);
    return builtIn ? "builtin" : misc ? "misc" : "normal";
}

// At 1 and at 2: at 2 every text takes the fonts of its scale and still fits its place.
class Look : public OpenEditor, public testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        scale = GetParam();
        OpenEditor::SetUp();
    }
    Display* D() { return window.GetDisplay(); }
    Grab Panel() {
        return Grab(D(), panel->PanelDevice()->GetDrawable(), panel->ClientRect(), scale);
    }
    Grab Of(zell::gui::SControl* c) {
        return Grab(D(), c->GetWindow(), c->ClientRect(), c->Scale());
    }
    // Where a control's caption may go: inside its frame with a pixel to spare.
    static Rect2 CaptionBox(zell::gui::SControl* c) {
        return {2, 2, c->ClientRect().Width() - 2, c->ClientRect().Height() - 2};
    }
    void ExpectCaption(zell::gui::SControl* c, unsigned long colour, const std::string& what) {
        ExpectText(Of(c), c->ClientRect(), colour, CaptionBox(c), what);
    }
    std::string Fonts() { return FontSet(D()); }
    // For the pictures' names: the fonts, and the screen's depth where it is not 24.
    std::string Screen() {
        const int depth = DefaultDepth(D(), DefaultScreen(D()));
        return Fonts() + (depth == 24 ? "" : "-depth" + std::to_string(depth)) +
               (scale == 1 ? "" : "-scale" + std::to_string(scale));
    }
};

TEST_P(Look, EveryFontThisProgramAsksForLoadsTheNearestTheServerHas) {
    const std::string fonts = Fonts();
    for (auto [size, bold] :
         {std::pair{7, false}, {8, false}, {10, false}, {10, true}, {14, true}}) {
        zell::gui::context::SDrawFont* f = zell::gui::statdata.FindFont(size, bold, false);
        ASSERT_TRUE(f->Loaded()) << "size " << size << (bold ? " bold" : "") << " on " << fonts;
        const std::string name = f->name.Text();
        const bool helvetica = name.rfind("-adobe-helvetica-", 0) == 0;
        EXPECT_EQ(helvetica, fonts == "normal") << name;
        if (fonts == "builtin") {
            EXPECT_TRUE(name == "fixed" || name.rfind("-misc-fixed-", 0) == 0) << name;
        }
    }
    // Falling back, or finding nothing at all, says nothing.
    testing::internal::CaptureStderr();
    {
        zell::gui::context::SDrawFont odd(9, true, true, false, nullptr);
        zell::gui::context::SDrawFont none(9, false, false, false, "nosuch-family");
        EXPECT_TRUE(odd.Loaded());
        EXPECT_FALSE(none.Loaded());
        XSync(zell::gui::dps, False);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    if (fonts != "misc") return;
    // The misc fonts hold a font of each small size and a bold one near 17 pixels.
    zell::gui::context::SDrawFont* small = zell::gui::statdata.FindFont(7, false, false);
    EXPECT_EQ(small->info->ascent + small->info->descent, 8);
    EXPECT_NE(std::string(zell::gui::statdata.FindFont(14, true, false)->name.Text())
                  .find("-bold-r-normal--18-"),
              std::string::npos);
}

TEST_P(Look, PanelTextsAreDrawnEachInsideItsPlace) {
    ClickNode(6, 2); // the node label "[ 7 | 3 ]" and the outline in lime green
    const Grab g = Panel();
    ASSERT_TRUE(g.Ok());
    // Under the logo, each line in its strip; nothing shows beside the logo.
    const Rect2 logo = panel->TitleArea();
    const int edge = 297;
    ExpectText(g, {logo.x1, 10, edge, 30}, Colour(kWhite), {72, 14, logo.x2, 30},
               "the product line");
    ExpectText(g, {logo.x1, 30, edge, 46}, Colour(kSteel), {44, 30, logo.x2, 46},
               "the copyright line");
    ExpectText(g, {logo.x1, 46, edge, 64}, Colour(kSteel), {28, 46, logo.x2, logo.y2},
               "the notice");

    ExpectText(g, {32, 64, 288, 88}, Colour(kWhite),
               {35, 64, panel->CopyButton()->WindowRect().x1 - 1, 88}, "the preset name");
    for (int i = 0; i < 16; ++i) {
        const std::string n = std::to_string(i + 1);
        ExpectText(g, {32 + 16 * i, 88, 48 + 16 * i, 103}, Colour(kCharcoal),
                   {33 + 16 * i, 88, 47 + 16 * i, 103}, "input number " + n);
        ExpectText(g, {16, 103 + 16 * i, 32, 119 + 16 * i}, Colour(kCharcoal),
                   {17, 103 + 16 * i, 31, 119 + 16 * i}, "output number " + n);
    }

    // "Filters" over the node label, both left of the first filter button, apart from each other
    // and from the outline.
    const Rect2 filterBox{32, 363, 288, 387};
    const int firstButton = panel->FilterButtons()[0]->WindowRect().x1;
    ExpectText(g, filterBox, Colour(kWhite), {34, 363, firstButton - 1, 386}, "the filter box");
    EXPECT_EQ(g.RowRuns({34, 363, firstButton, 387}, Colour(kWhite)), 2)
        << "\"Filters\" and the node label, one above the other with a row between";
    const Rect2 title = g.Ink({34, 363, firstButton, 372}, Colour(kWhite));
    EXPECT_GT(title.Width(), 0);
    EXPECT_EQ(g.Ink(title.Grown(1), Colour(kLimeGreen)).Width(), 0)
        << "the outline touches Filters";
    EXPECT_GT(g.Ink(filterBox, Colour(kLimeGreen)).Width(), 0) << "the outline of a selection";

    ExpectText(g, {33, 391, 110, 413}, Colour(kBlack), {33, 391, 110, 413}, "IN");
    ExpectText(g, {210, 391, 287, 413}, Colour(kBlack), {210, 391, 287, 413}, "OUT");
}

TEST_P(Look, ButtonCaptionsAndFilterColoursInEveryState) {
    for (auto* b :
         {panel->ClearButton(), panel->ResetButton(), panel->CopyButton(), panel->PasteButton(),
          panel->PresetSwitchButton(), panel->HighlightButton(), panel->GridButton()})
        ExpectCaption(b, Colour(kWhite), b->GetLabel().Text());

    const auto& filters = panel->FilterButtons();
    const int colours[] = {kWhite, kYellow, kRed, kMagenta, kCyan, kLime};
    for (auto* b : filters) { // disabled: no node is selected
        EXPECT_EQ(Of(b).At(1, 1), Colour(kSlate)) << b->GetLabel().Text();
        ExpectCaption(b, Colour(kGrey), b->GetLabel().Text());
    }
    ClickNode(6, 2); // every filter of a new connection is on
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(Of(filters[k]).At(1, 1), Colour(colours[k])) << filters[k]->GetLabel().Text();
        ExpectCaption(filters[k], Colour(kBlack), filters[k]->GetLabel().Text());
    }
    ClickButton(filters[2]);
    ClickButton(filters[5]);
    pointer.Park(); // no hover frames
    Settle();
    for (int k = 0; k < 6; ++k) {
        const bool on = k != 2 && k != 5;
        EXPECT_EQ(Of(filters[k]).At(1, 1), Colour(on ? colours[k] : kSlate))
            << filters[k]->GetLabel().Text();
        ExpectCaption(filters[k], Colour(on ? kBlack : kWhite), filters[k]->GetLabel().Text());
    }
    const Point2 origin = zell::gui::test::OnScreen(panel);
    zell::gui::test::SaveScreen(D(), origin.x, origin.y, 307 * scale, 425 * scale,
                                ("editor-fonts-" + Screen() + ".png").c_str());
}

TEST_P(Look, InfoLabelsShowTheNodeUnderThePointer) {
    MoveTo(panel->Matrix(), 16 * 3 + 8, 16 * 9 + 8);
    for (auto* label : {panel->InputInfo(), panel->OutputInfo()}) {
        EXPECT_TRUE(Eventually([&] {
            zell::gui::SEventPump::Sync();
            return Of(label).Ink(label->ClientRect(), Colour(kOrange)).Width() > 0;
        }));
        ExpectCaption(label, Colour(kOrange), "a port number");
    }
}

TEST_P(Look, HostSwitchingHighlightOffClearsTheBandsUnderThePointer) {
    p.plugin->setParameter(4, 1.0f);
    Settle();
    MoveTo(panel->Matrix(), 16 * 5 + 8, 16 * 5 + 8);
    auto band = [&] { // far from the pointer, in its row
        zell::gui::SEventPump::Sync();
        return Of(panel->Matrix()).At(16 * 12 + 8, 16 * 5 + 8);
    };
    EXPECT_TRUE(Eventually([&] { return band() == Colour(kBrown); }));
    p.plugin->setParameter(4, 0.0f);
    Settle();
    EXPECT_EQ(band(), Colour(kBlack)) << "the pointer is still over the matrix";
    EXPECT_EQ(panel->HighlightButton()->GetValue(), 0);
}

TEST_P(Look, TheTipMarkShowsItsOffColourBeforeItsFirstClick) {
    ASSERT_FALSE(panel->Tooltip()->TipsEnabled());
    const unsigned long blue = static_cast<unsigned long>(zell::gui::statdata.Colour(10));
    EXPECT_EQ(zell::gui::test::PixelAt(D(), panel->GetWindow(), 5 * scale, 5 * scale), blue);
    ClickAt(panel, 5, 5);
    const unsigned long red = static_cast<unsigned long>(zell::gui::statdata.Colour(4));
    EXPECT_TRUE(Eventually([&] {
        zell::gui::SEventPump::Sync();
        return zell::gui::test::PixelAt(D(), panel->GetWindow(), 5 * scale, 5 * scale) == red;
    }));
}

// The load refusal's box: title, both lines of the message and "OK".
TEST_P(Look, MessageBoxTextsAreDrawnInsideTheirLabels) {
    zell::gui::SInfo("Failed to load plugin\n(Reason: Host not supported (Usine))", "Ferrovane");
    zell::gui::SEventPump::Sync();
    zell::gui::SMessageDialog* box = zell::gui::SInfoDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(Eventually([&] {
        XWindowAttributes a;
        return XGetWindowAttributes(D(), box->GetWindow(), &a) && a.map_state == IsViewable;
    }));
    zell::gui::SEventPump::Sync();
    ExpectCaption(box->TitleLabel(), Colour(kWhite), "the title");
    ExpectCaption(box->MessageLabel(), Colour(kWhite), "the message");
    const Grab message = Of(box->MessageLabel());
    ASSERT_EQ(box->MessageLabel()->LineRects().size(), 2u);
    for (const Rect2& line : box->MessageLabel()->LineRects())
        EXPECT_GT(message.Ink(line, Colour(kWhite)).Width(), 0) << "a line of the message";
    ExpectCaption(box->Button(), Colour(kWhite), "OK");
    // The box is the process's, drawn at the scale of the desktop it was first shown on.
    const int boxScale = box->Scale();
    const Point2 at = zell::gui::test::OnScreen(box);
    zell::gui::test::SaveScreen(D(), at.x, at.y, box->WindowRect().Width() * boxScale,
                                box->WindowRect().Height() * boxScale,
                                ("message-box-fonts-" + Screen() + ".png").c_str());
    const Point2 button = zell::gui::test::OnScreen(box->Button());
    pointer.MoveTo(button.x + 20 * boxScale, button.y + 10 * boxScale);
    pointer.Click(1);
    Settle();
    EXPECT_TRUE(Eventually([&] { return !box->IsShown(); }));
}

INSTANTIATE_TEST_SUITE_P(AtOneAndTwo, Look, testing::Values(1, 2));

} // namespace
} // namespace ferrovane::test
