#include "SMessageDialog.h"

#include "SButton.h"
#include "SCursor.h"
#include "SDisplay.h"
#include "SDrawFont.h"
#include "SGlobals.h"
#include "SInput.h"
#include "SStaticData.h"
#include "STextBlock.h"

namespace zell::gui {

namespace {

// A pop-up with the full input mask and the painted frame with its grip.
constexpr int kDialogFlags = 0x880101;
constexpr int kWidth = 320;
constexpr int kHeight = 240;

int C(int index) {
    return statdata.Colour(index);
}

} // namespace

SMessageDialog::SMessageDialog(int scale) {
    ownGlobals = std::make_unique<SGlobals>();
    ownGlobals->SettleScale(scale);
    Text name(64, "SDialog (ID %i)", static_cast<int>(ownGlobals->random.Integer()));
    const unsigned dialogId = static_cast<unsigned>(ownGlobals->idCounter.exchange(0));
    Create(ownGlobals.get(), nullptr, dialogId, name.Text(), kDialogFlags, 0, 0, kWidth, kHeight, 0,
           false);
    cursor = std::make_unique<SCursor>();
    cursor->window = window;
    cursor->CreateDefault(Scale());
    ownGlobals->cursor = cursor.get();
    EnableEventHandler(kEventValue);
    SetColours(C(24), C(24), C(20), C(2), C(0), C(0), C(0));
    messageFont = std::make_unique<context::SDrawFont>(7, false, false, false, nullptr);
    titleFont = std::make_unique<context::SDrawFont>(10, true, false, false, nullptr);
    CreateChildren();
    Refresh();
}

void SMessageDialog::CreateChildren() {
    const int pw = static_cast<int>(window);
    Text name(title);
    titleLabel = Adopt(std::make_unique<SLabel<false>>(ownGlobals.get(), this, ownGlobals->NewId(),
                                                       Text(name).Append(" - TitleLabel").Text(), 0,
                                                       10, 10, kWidth - 20, 30, pw, false));
    titleLabel->SetColours(C(24), C(24), C(20), C(2), C(2), C(2), C(2));
    titleLabel->SetLabel("", titleFont.get(), 0);
    titleLabel->SetLabelColours(C(0), C(0));
    messageLabel = Adopt(std::make_unique<SLabel<false>>(
        ownGlobals.get(), this, ownGlobals->NewId(), Text(name).Append(" - MessageLabel").Text(), 0,
        10, 40, kWidth - 20, kHeight - 90, pw, false));
    messageLabel->SetColours(C(24), C(24), C(20), C(2), C(0), C(0), C(0));
    messageLabel->SetLabel("", messageFont.get(), 0);
    messageLabel->SetLabelColours(C(0), C(0));
    button = Adopt(std::make_unique<SButton<false>>(
        ownGlobals.get(), this, ownGlobals->NewId(), Text(name).Append(" - MessageButton").Text(),
        kFlagRounded, kWidth / 2 - 20, kHeight - 40, 40, 20, pw, false));
    button->SetColours(C(26), C(23), C(24), C(2), C(20), C(0), C(0));
    button->SetLabel("OK", titleFont.get(), 0);
    button->SetLabelColours(C(0), C(19));
    button->SetType(kButtonPush);
    button->SetHoverColours(C(23), C(23));
    button->AddEventListener(this, kEventValue);
    for (SControl* child : {static_cast<SControl*>(titleLabel),
                            static_cast<SControl*>(messageLabel), static_cast<SControl*>(button)})
        child->Show();
}

// The children go with the window; the fonts they draw with and the globals they hold go
// after them.
SMessageDialog::~SMessageDialog() {
    CleanUp();
    while (!Children().empty())
        Remove(Children().back().control.get(), true);
    ownGlobals->cursor = nullptr;
    cursor.reset();
    titleFont.reset();
    messageFont.reset();
    Destroy();
    ownGlobals.reset();
}

void SMessageDialog::ParseEvent(SEvent* e) {
    if (!e || !EventHandled(kEventValue) || e->type != kEventValue || e->value != kClickLeft ||
        e->sender != button)
        return;
    CloseDialog();
    if (button->GetFlags() & kFlagGrabOnPress) button->MouseReleaseCapture();
    if (button->Input()) button->Input()->Reset();
}

void SMessageDialog::Measure(int& w, int& h) {
    context::STextBlock block =
        context::MeasureLines(messageText.Text(), messageFont.get(), Scale());
    w = block.width;
    h = block.height;
}

// The labels are as wide as the box less 20; the button sits centred under the message.
void SMessageDialog::Resize(int w, int h) {
    titleLabel->SetSize(w + 44, 20);
    messageLabel->SetSize(w + 44, h + 38);
    button->SetPosition((w + 64) / 2 - 20, h + 88);
    button->Refresh();
}

void SMessageDialog::SetMessage(const char* message, const char* t) {
    messageText = message;
    int w = 0, h = 0;
    Measure(w, h);
    titleText = t;
    SetTitleText(titleText.Text());
    titleLabel->SetLabel(titleText);
    const int titleWidth = context::TextWidth(
        titleText.Text(), static_cast<int>(titleText.Length()), titleFont.get(), Scale());
    if (titleWidth > w) w = titleWidth;
    messageLabel->SetLabel(messageText, messageFont.get(), 0);
    messageLabel->Refresh();
    Resize(w, h);
    SetSize(w + 64, h + 128);
}

void SMessageDialog::ShowMessage(const char* message, const char* t) {
    SetMessage(message, t);
    ShowDialog();
}

void SMessageDialog::LayoutModal(const char* message, const char* t) {
    messageText = message;
    int w = 0, h = 0;
    Measure(w, h);
    SetSize(w + 64, h + 128);
    titleText = t;
    SetTitleText(titleText.Text());
    titleLabel->SetLabel(titleText);
    messageLabel->SetLabel(messageText);
    messageLabel->Refresh();
    Resize(w, h);
}

void SMessageDialog::Store(const char* message, const char* t, Layout layout) {
    std::lock_guard<std::mutex> hold(pendingLock);
    pendingMessage = message;
    pendingTitle = t;
    pendingLayout = layout;
}

void SMessageDialog::ShowRequested() {
    Text message, t;
    Layout layout = Layout::kNone;
    {
        std::lock_guard<std::mutex> hold(pendingLock);
        message = pendingMessage;
        t = pendingTitle;
        layout = pendingLayout;
        pendingLayout = Layout::kNone;
    }
    if (layout == Layout::kModal) LayoutModal(message.Text(), t.Text());
    if (layout == Layout::kCentred) {
        SetMessage(message.Text(), t.Text());
        SDisplay::Instance().CenterOnWindow(this);
    }
    ShowDialog();
}

void SMessageDialog::Present(const char* message, const char* t) {
    Store(message, t, Layout::kCentred);
    RequestShow();
}

void SMessageDialog::ShowModal(const char* message, const char* t) {
    Store(message, t, Layout::kModal);
    SDialog::ShowModal();
}

} // namespace zell::gui
