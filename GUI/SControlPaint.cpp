// The paint protocol of a control: refresh requests sent to its own window, the default painting
// the dispatcher runs for them, the round shape, and what the control forwards to its drawing
// context.
#include "SControl.h"

#include "SAtoms.h"
#include "SDisplay.h"
#include "SDrawDevice.h"
#include "SDrawPen.h"
#include "SDrawBrush.h"
#include "SDrawing.h"
#include "SGlobals.h"
#include "SStaticData.h"
#include "SToolTipLink.h"
#include "SXExtensions.h"
#include "SXReplyBatch.h"

#include <X11/Xlib.h>

#include <X11/Xutil.h>

#include <vector>

// Last: it defines macros that clash with ordinary names (the protocol header needs it).
#include <X11/Xlibint.h>
#include <X11/extensions/shapeproto.h>

namespace zell::gui {

using context::SDrawing;

namespace {

constexpr int kStaticGrip = 20;
constexpr int kStaticFrame = 10;

// Paint requests name the window they are for; each is one event, so a burst costs one paint.
void SendClientMessage(Display* d, Window w, Atom type, long l1, long l2, long l3, long l4) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(d, w, False, NoEventMask, &e);
}

void SendExpose(Display* d, Window w, int x, int y, int width, int height) {
    XEvent e{};
    e.xexpose.type = Expose;
    e.xexpose.window = w;
    e.xexpose.x = x;
    e.xexpose.y = y;
    e.xexpose.width = width;
    e.xexpose.height = height;
    e.xexpose.count = 0;
    XSendEvent(d, w, False, ExposureMask, &e);
}

} // namespace

void SControl::CreateContexts() {
    static bool installed = [] {
        SDrawing::SetControlWindowQuery([](SControl* c) { return c ? c->GetWindow() : Window(0); });
        return true;
    }();
    (void)installed;
    DestroyContexts();
    drawing = std::make_unique<SDrawing>(this, globals);
    input = std::make_unique<context::SInput>();
}

void SControl::DestroyContexts() {
    drawing.reset();
    input.reset();
}

context::SDrawDevice* SControl::GetDevice() {
    return drawing ? drawing->GetDevice() : nullptr;
}

void SControl::Refresh() {
    if (!Shown() || !display || !window) return;
    SendExpose(display, window, 0, 0, windowRect.Width(), windowRect.Height());
    XFlush(display);
}

void SControl::RefreshRectangle(const Rect2& r) {
    if (Shown() && display && window)
        SendExpose(display, window, r.x1, r.y1, r.Width(), r.Height());
}

void SControl::RefreshOutlines() {
    if (Shown() && display && window)
        SendClientMessage(display, window, SAtoms::Of(display).paintOutlines, 0, 0,
                          windowRect.Width(), windowRect.Height());
}

// The region travels as a plain number and is only valid inside this process; a 64-bit
// address takes two data words.
void SControl::RefreshRegion(SDrawRegion* region) {
    if (!Shown() || !display || !window) return;
    auto address = reinterpret_cast<uintptr_t>(region);
    long low = static_cast<long>(address & 0xFFFFFFFFu);
    long high = static_cast<long>(static_cast<uint64_t>(address) >> 32);
    SendClientMessage(display, window, SAtoms::Of(display).paintRegion, low, high, 0, 0);
}

void SControl::RefreshArea(unsigned area) {
    if (Shown() && display && window)
        SendClientMessage(display, window, SAtoms::Of(display).paintArea, static_cast<long>(area),
                          0, 0, 0);
}

void SControl::Draw(const Rect2& r) {
    if (!drawing) return;
    drawing->DrawBackground(r, false);
    if (flags & kFlagGripFrame) {
        int grip = statdata.Colour(kStaticGrip);
        drawing->SetPen(statdata.FindPen(grip));
        drawing->SetBrush(statdata.FindBrush(grip));
        drawing->FillRect(r.x1, r.y1, r.x2, r.y1 + 10);
        drawing->FillRect(r.x1, r.y1, r.x1 + 10, r.y2);
        drawing->FillRect(r.x2 - 10, r.y1, r.x2, r.y2);
        drawing->FillRect(r.x1, r.y2 - 10, r.x2, r.y2);
        int frame = statdata.Colour(kStaticFrame);
        drawing->SetPen(statdata.FindPen(frame));
        drawing->SetBrush(statdata.FindBrush(frame));
        drawing->DrawRect(r);
        drawing->FillRect(r.x1 + 1, r.y1 + 1, r.x1 + 10, r.y1 + 10);
    }
    DrawOutlines(r);
}

void SControl::DrawOutlines(const Rect2& r) {
    if (!drawing || !(flags & kFlagOutline)) return;
    drawing->SetPen(statdata.FindPen(GetFrameColour(Enabled(), false)));
    drawing->DrawRect(r);
}

void SControl::DrawBorder(const Rect2& r) {
    if (!drawing || !(flags & kFlagDecorated)) return;
    drawing->SetBrush(statdata.FindBrush(statdata.Colour(kStaticGrip)));
    drawing->FillRect(r);
}

void SControl::PrepareRoundShape() {
    (void)SXExtensions::Opcode(display, SXExtensions::kShape);
}

namespace {

// From each corner inwards, rows of 5, 3, 2, 1 and 1 pixels are cut off.
constexpr int kNotch[] = {5, 3, 2, 1, 1};
constexpr int kNotchRows = sizeof kNotch / sizeof *kNotch;

// Row y of a w x h window keeps x from Cut(y) to w - Cut(y): the wider of the cuts of the two
// corners that reach the row.
int Cut(int y, int h) {
    const int top = y < kNotchRows ? kNotch[y] : 0;
    const int bottom = h - 1 - y < kNotchRows ? kNotch[h - 1 - y] : 0;
    return top > bottom ? top : bottom;
}

// The rows of equal cut, top to bottom, in the layout's pixels; at a larger scale each row is
// as much higher and each cut as much wider.
std::vector<xRectangle> RoundedRows(int w, int h, int s) {
    std::vector<xRectangle> rows;
    for (int y = 0; y < h; ++y) {
        const int cut = Cut(y, h);
        if (w - 2 * cut <= 0) continue;
        if (!rows.empty() && rows.back().x == cut * s &&
            rows.back().y + rows.back().height == y * s) {
            rows.back().height = static_cast<CARD16>(rows.back().height + s);
            continue;
        }
        rows.push_back({static_cast<INT16>(cut * s), static_cast<INT16>(y * s),
                        static_cast<CARD16>((w - 2 * cut) * s), static_cast<CARD16>(s)});
    }
    return rows;
}

// What both requests set: the window's bounding shape, replaced.
template <typename Request> void SetsBounding(Request* req, int shape, int minor, Window w) {
    req->reqType = static_cast<CARD8>(shape);
    req->shapeReqType = static_cast<CARD8>(minor);
    req->op = ShapeSet;
    req->destKind = ShapeBounding;
    req->dest = static_cast<CARD32>(w);
    req->xOff = req->yOff = 0;
}

} // namespace

// The window's bounding shape is set to the rectangle less its corners, or taken off.
void SControl::SetRoundShape(bool round) {
    const int shape = SXExtensions::Opcode(display, SXExtensions::kShape);
    if (!display || !window || !shape) return;
    Display* dpy = display;
    LockDisplay(dpy);
    if (!round) {
        xShapeMaskReq* req;
        GetReq(ShapeMask, req);
        SetsBounding(req, shape, X_ShapeMask, window);
        req->src = None;
    } else {
        const std::vector<xRectangle> rows =
            RoundedRows(windowRect.Width(), windowRect.Height(), Scale());
        xShapeRectanglesReq* req;
        GetReq(ShapeRectangles, req);
        SetsBounding(req, shape, X_ShapeRectangles, window);
        req->ordering = YXBanded;
        req->length += static_cast<CARD16>(2 * rows.size());
        SXReplyBatch::Append(dpy, rows.data(), rows.size() * sizeof(xRectangle));
    }
    UnlockDisplay(dpy);
    SyncHandle();
}

void SControl::SetDrawingMode(bool active) {
    if (!drawing) return;
    drawing->SetBackgroundColour(active);
    drawing->SetForegroundColour(active);
}

void SControl::SetBackgroundMode(bool mode) {
    if (drawing) drawing->SetBackgroundMode(mode);
}

void SControl::SetBackground(int colour, bool active) {
    if (drawing) drawing->SetBackground(colour, active);
}

void SControl::SetBackgroundColour(bool active) {
    if (drawing) drawing->SetBackgroundColour(active);
}

void SControl::SetBackgroundColour(int colour) {
    if (drawing) drawing->SetBackgroundColour(colour);
}

int SControl::GetBackgroundColour() {
    return drawing ? drawing->GetBackgroundColour() : 0;
}

int SControl::GetForegroundColour() {
    return drawing ? drawing->GetForegroundColour() : 0;
}

void SControl::SetColours(int bgNormal, int bgActive, int parentBg, int fg, int fgActive, int text,
                          int textActive) {
    if (drawing) drawing->SetColours(bgNormal, bgActive, parentBg, fg, fgActive, text, textActive);
}

void SControl::SetTextColour(int colour) {
    if (drawing) drawing->SetTextColour(colour, false);
}

int SControl::GetFrameColour(bool enabled, bool active) {
    return drawing ? drawing->GetFrameColour(enabled, active) : 0;
}

void SControl::SetFrameColour(int normal, int active, int disabled) {
    if (drawing) drawing->SetFrameColour(normal, active, disabled);
}

void SControl::Center() {
    SDisplay::Instance().CenterOnWindow(this);
}

void SControl::Center(Point2& at) {
    SDisplay::Instance().CenterOnWindow(this, at);
}

void SControl::SetTooltip(SIToolTip* tip, SIToolTipSource* data, int) {
    tipWindow = tip;
    if (data != tooltipData.get()) tooltipData.reset(data);
}

void SControl::ShowTooltip(const Point2& where) {
    if (tipWindow && tooltipData) tipWindow->Open(tooltipData.get(), where);
}

void SControl::HideTooltip() {
    if (tipWindow) tipWindow->Close();
}

void SControl::CloseTip() {
    HideTooltip();
}

void SControl::EnableTooltip(bool enable) {
    status = enable ? (status | kStatusTooltip) : (status & ~kStatusTooltip);
}

// The host's top window is the parent of the window the host gave; the root means the host's
// window is itself the top.
void SControl::FocusTopParent() {
    if (!display || !globals || !globals->parentWindow) return;
    Window host = static_cast<Window>(globals->parentWindow), root = 0, up = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(display, host, &root, &up, &children, &n)) return;
    if (children) XFree(children);
    XSetInputFocus(display, up && up != root ? up : host, RevertToNone, CurrentTime);
}

} // namespace zell::gui
