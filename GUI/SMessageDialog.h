// The message box: a bold title line, a message of several lines and an "OK" push button in a
// small undecorated pop-up that sizes itself to its text. A left click on "OK" closes it. It
// brings its own globals, fonts and cursor, so it needs no editor. Every call runs on the
// thread that dispatches its events, except Present and the modal calls, which may come from
// any thread (see SDialog).
#pragma once

#include "SDialog.h"

#include <memory>
#include <mutex>

namespace zell::gui {

namespace context {
class SDrawFont;
}

class SCursor;
template <bool> class SLabel;
template <bool> class SButton;

class SMessageDialog : public SDialog {
  public:
    using Text = data::datastring<32, char>;

    // Drawn at the scale (SGlobals::Scale) of whoever shows it: the editor's, or the desktop's.
    explicit SMessageDialog(int scale = 1);
    ~SMessageDialog() override;

    // A left click of the button closes the dialog; other clicks do nothing.
    void ParseEvent(SEvent* e) override;
    // Kept for the design's slot order; nothing calls or overrides it. SetMessage, then shows
    // the dialog; returns at once.
    virtual void ShowMessage(const char* message, const char* title);
    // Stores both texts and lays the dialog out for them; null texts are empty. Where a show
    // request is handled: the dispatching thread, or the caller's when no pump serves the
    // connection.
    virtual void SetMessage(const char* message, const char* title);
    // Kept for the design's slot order; nothing calls or overrides it. Lays out as SetMessage
    // (the title does not widen the box), shows the dialog and returns when it is closed (see
    // SDialog::ShowModal).
    virtual void ShowModal(const char* message, const char* title);
    using SDialog::ShowModal;
    // Lays out as SetMessage, centres the box on the display and shows it; returns at once.
    void Present(const char* message, const char* title);

    SLabel<false>* TitleLabel() const { return titleLabel; }
    SLabel<false>* MessageLabel() const { return messageLabel; }
    SButton<false>* Button() const { return button; }
    const Text& MessageText() const { return messageText; }
    const Text& TitleText() const { return titleText; }

  protected:
    void ShowRequested() override;

  private:
    enum class Layout { kNone, kCentred, kModal };

    void CreateChildren();
    // The layout of ShowModal: the box is sized first, the title does not widen it.
    void LayoutModal(const char* message, const char* title);
    // Keeps a show request for ShowRequested.
    void Store(const char* message, const char* title, Layout layout);
    // The width and height of the message in its font.
    void Measure(int& w, int& h);
    void Resize(int w, int h);

    std::unique_ptr<context::SDrawFont> titleFont;
    std::unique_ptr<SGlobals> ownGlobals;
    std::unique_ptr<SCursor> cursor;
    SLabel<false>* titleLabel = nullptr;
    SLabel<false>* messageLabel = nullptr;
    SButton<false>* button = nullptr;
    Text messageText;
    Text titleText;
    std::unique_ptr<context::SDrawFont> messageFont;
    std::mutex pendingLock; // the request below, between a caller and the dispatcher
    Layout pendingLayout = Layout::kNone;
    Text pendingMessage;
    Text pendingTitle;
};

} // namespace zell::gui
