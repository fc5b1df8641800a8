// Buttons driven by real pointer events: what each type does with its value and tells its
// listeners, hover frames read back as pixels, and picture buttons.
#include "ControlsHarness.h"
#include "GuiHarness.h"

#include "SButton.h"
#include "SImageLabel.h"
#include "SStaticData.h"

namespace zell::gui::test {
namespace {

using Btn = SButton<false>;

// Two 8 x 8 pictures of one colour each.
const char* const kRedXpm[] = {"8 8 1 1",  ". c #FF0000", "........", "........", "........",
                               "........", "........",    "........", "........", "........"};
const char* const kBlueXpm[] = {"8 8 1 1",  ". c #0000FF", "........", "........", "........",
                                "........", "........",    "........", "........", "........"};
const char* const kBrokenXpm[] = {"8 8 1 1", "garbage"};

void* Xpm(const char* const* data) {
    return const_cast<char**>(data);
}

class Buttons : public OwnDisplay {
  protected:
    void SetUp() override {
        OwnDisplay::SetUp();
        listener = new Listener(globals);
        pointer = new Pointer;
    }
    void TearDown() override {
        pointer->Park();
        delete pointer;
        delete button;
        delete listener;
        OwnDisplay::TearDown();
    }
    // A shown button of the type at (100, 100), 80 x 30, with the pointer over it.
    void Make(int type) {
        button = new Btn(globals, nullptr, 1, "button", 0, 100, 100, 80, 30, 0, false);
        button->SetType(type);
        button->AddEventListener(listener, kEventValue);
        button->Show();
        Dispatch();
        pointer->MoveTo(120, 110);
        Dispatch();
    }
    void Press(unsigned b) {
        pointer->Press(b);
        Dispatch();
    }
    void Release(unsigned b) {
        pointer->Release(b);
        Dispatch();
    }
    std::vector<int>& Sent() { return listener->values; }

    Listener* listener = nullptr;
    Pointer* pointer = nullptr;
    Btn* button = nullptr;
};

TEST_F(Buttons, SetValueReportsOnlyAChange) {
    Make(kButtonMomentary);
    EXPECT_TRUE(button->SetValue(1, true));
    EXPECT_FALSE(button->SetValue(1, true));
    EXPECT_TRUE(button->SetValue(0, false));
    EXPECT_EQ(Sent(), (std::vector<int>{1}));
}

TEST_F(Buttons, MomentaryReportsThePressAndFallsBackSilently) {
    Make(kButtonMomentary);
    Press(1);
    EXPECT_EQ(button->GetValue(), 1);
    Release(1);
    EXPECT_EQ(button->GetValue(), 0);
    EXPECT_EQ(Sent(), (std::vector<int>{1}));
    Press(1);
    pointer->MoveTo(300, 300); // leaving with the button held lets it go as well
    Dispatch();
    EXPECT_EQ(button->GetValue(), 0);
    Release(1);
}

TEST_F(Buttons, PushReportsEveryClickAndRestsAtZero) {
    Make(kButtonPush);
    for (unsigned b : {1u, 3u, 2u}) {
        Press(b);
        EXPECT_EQ(button->GetValue(), 0) << b;
        Release(b);
    }
    EXPECT_EQ(Sent(), (std::vector<int>{1, 3, 2}));
}

TEST_F(Buttons, ToggleAlternatesAndReportsGoingBackOnlyWhenAsked) {
    Make(0);
    pointer->Click(1);
    Dispatch();
    EXPECT_EQ(button->GetValue(), 1);
    pointer->Click(1);
    Dispatch();
    EXPECT_EQ(button->GetValue(), 0);
    EXPECT_EQ(Sent(), (std::vector<int>{1}));
    button->SetType(kButtonNotifyOff);
    pointer->Click(1);
    pointer->Click(1);
    Dispatch();
    EXPECT_EQ(Sent(), (std::vector<int>{1, 1, 0}));
}

TEST_F(Buttons, LeftPressDoesNothingForTheNoLeftType) {
    Make(kButtonNoLeft);
    pointer->Click(1);
    Dispatch();
    EXPECT_EQ(button->GetValue(), 0);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(Buttons, MenuButtonIgnoresThePressAfterAReset) {
    Make(kButtonMenu);
    Press(1);
    EXPECT_EQ(button->GetValue(), 1);
    Release(1);
    button->Reset(); // the menu was closed
    EXPECT_EQ(button->GetValue(), 0);
    EXPECT_TRUE(button->ResetPending());
    Press(1);
    EXPECT_EQ(button->GetValue(), 0) << "the press after the reset is ignored";
    Release(1);
    Press(1);
    EXPECT_EQ(button->GetValue(), 1);
    Release(1);
    Press(2);
    EXPECT_EQ(button->GetValue(), 0) << "a middle press closes";
    Release(2);
    EXPECT_EQ(Sent(), (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(Buttons, HoverFramesTakeTheHoverColoursAndLeaveTheParentBackground) {
    const int slate = statdata.Colour(SStaticData::kSlate),
              steel = statdata.Colour(SStaticData::kSteel);
    const int red = statdata.Colour(4), yellow = statdata.Colour(1), black = statdata.Colour(20);
    pointer->Park();
    button = new Btn(globals, nullptr, 1, "button", 0, 100, 100, 80, 30, 0, false);
    button->SetType(0);
    button->SetColours(steel, steel, black, slate, slate, slate, slate);
    button->SetHoverColours(red, yellow);
    button->Show();
    Dispatch();
    auto frame = [&] { return PixelAt(display, button->GetWindow(), 0, 15); };
    EXPECT_EQ(frame(), static_cast<unsigned long>(black)) << "no hover: the parent's background";
    pointer->MoveTo(140, 115);
    Dispatch();
    EXPECT_TRUE(button->Hovering());
    EXPECT_EQ(frame(), static_cast<unsigned long>(red));
    EXPECT_EQ(PixelAt(display, button->GetWindow(), 40, 15), static_cast<unsigned long>(steel));
    pointer->Click(1);
    Dispatch();
    EXPECT_EQ(frame(), static_cast<unsigned long>(yellow)) << "hovering with value 1";
    pointer->Park();
    Dispatch();
    EXPECT_FALSE(button->Hovering());
    EXPECT_EQ(frame(), static_cast<unsigned long>(black));
}

TEST_F(Buttons, PicturesReplaceBackgroundAndTextByValue) {
    Make(0);
    button->SetBitmaps(Xpm(kRedXpm), Xpm(kBlueXpm), 8, 8);
    EXPECT_TRUE(button->Type() & kButtonBitmap);
    button->Refresh();
    Dispatch();
    const unsigned long red = 0xFF0000, blue = 0x0000FF;
    EXPECT_EQ(PixelAt(display, button->GetWindow(), 4, 4), red);
    button->SetValue(1, false);
    Dispatch();
    EXPECT_EQ(PixelAt(display, button->GetWindow(), 4, 4), blue);
    button->SetBitmaps(Xpm(kRedXpm), Xpm(kBrokenXpm), 8, 8);
    EXPECT_FALSE(button->Type() & kButtonBitmap) << "a broken picture leaves a text button";
    button->SetBitmaps(nullptr, Xpm(kBlueXpm), 8, 8);
    EXPECT_FALSE(button->Type() & kButtonBitmap);
}

TEST_F(Buttons, ImageLabelShowsItsPictureAndReportsClicks) {
    pointer->Park();
    SImageLabel image(globals, nullptr, 2, "image", 0, 300, 100, 8, 8, 0);
    image.LoadBackground(Xpm(kBlueXpm), 8, 8);
    EXPECT_TRUE(image.HasPicture());
    image.AddEventListener(listener, kEventValue);
    image.Show();
    Dispatch();
    EXPECT_EQ(PixelAt(display, image.GetWindow(), 3, 3), 0x0000FFul);
    pointer->MoveTo(304, 104);
    pointer->Click(3);
    Dispatch();
    EXPECT_EQ(Sent(), (std::vector<int>{kClickRight}));
    image.LoadBackground(Xpm(kBrokenXpm), 8, 8);
    EXPECT_FALSE(image.HasPicture());
}

} // namespace
} // namespace zell::gui::test
