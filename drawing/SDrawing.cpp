// The context's life, colour scheme and GC state.
#include "SDrawing.h"

#include "SColour.h"
#include "SDrawBrush.h"
#include "SDrawDevice.h"
#include "SDrawFont.h"
#include "SDrawPen.h"
#include "SGlobals.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>

namespace zell::gui::context {

namespace {

std::atomic<SControlWindowQuery> windowQuery{nullptr};

Window WindowOf(SControl* control) {
    SControlWindowQuery query = windowQuery.load();
    return control && query ? query(control) : 0;
}

// X functions by logic code; codes outside the table copy.
constexpr int kLogicFunctions[] = {
    GXclear, GXxor, GXinvert, GXorReverse,    GXandReverse, GXand,  GXor,  GXandInverted,
    GXnoop,  GXnor, GXequiv,  GXcopyInverted, GXorInverted, GXnand, GXset,
};
constexpr int kLogicCodes = sizeof kLogicFunctions / sizeof kLogicFunctions[0];

constexpr int kSteel[] = {138, 145, 150};

} // namespace

SDrawing::SDrawing() = default;

SDrawing::SDrawing(SControl* owner, SGlobals* resources)
    : ownDevice(std::make_unique<SDrawDevice>(WindowOf(owner))), device(ownDevice.get()),
      control(owner), globals(resources) {
    int black = SCOL(0, 0, 0);
    int white = SCOL(255, 255, 255);
    background = parentBackground = backgroundActive = backgroundNormal = black;
    frameNormal = frameActive = black;
    foreground = foregroundActive = foregroundNormal = textNormal = textActive = white;
    frameDisabled = SCOL(kSteel[0], kSteel[1], kSteel[2]);
}

SDrawing::~SDrawing() = default;

void SDrawing::SetControlWindowQuery(SControlWindowQuery query) {
    windowQuery = query;
}

void SDrawing::InitDrawing(SControl* owner, SDrawing*) {
    ownDevice = std::make_unique<SDrawDevice>(WindowOf(owner));
    device = ownDevice.get();
    control = owner;
}

void SDrawing::CleanDrawing() {
    ownDevice.reset();
    device = nullptr;
}

void SDrawing::SetColours(int bgNormal, int bgActive, int parentBg, int fg, int fgActive, int text,
                          int textOnActive) {
    backgroundNormal = background = bgNormal;
    backgroundActive = bgActive;
    parentBackground = parentBg;
    foreground = foregroundNormal = fg;
    foregroundActive = fgActive;
    textNormal = text;
    textActive = textOnActive;
    frameNormal = frameActive = bgNormal;
    frameDisabled = SCOL(kSteel[0], kSteel[1], kSteel[2]);
}

void SDrawing::SetBackgroundColour(bool active) {
    background = active ? backgroundActive : backgroundNormal;
}

void SDrawing::SetBackground(int colour, bool active) {
    (active ? backgroundActive : backgroundNormal) = colour;
    SetBackgroundColour(active);
}

void SDrawing::SetForegroundColour(bool active) {
    foreground = active ? foregroundActive : foregroundNormal;
    SetForeground(foreground);
}

int SDrawing::GetFrameColour(bool enabled, bool active) {
    if (!enabled) return frameDisabled;
    return active ? frameActive : frameNormal;
}

void SDrawing::SetFrameColour(int normal, int active, int disabled) {
    frameNormal = normal;
    frameActive = active;
    frameDisabled = disabled;
}

void SDrawing::SetTextColour(int colour, bool active) {
    (active ? textActive : textNormal) = colour;
    SetForeground(colour);
}

void SDrawing::SetFillMode(int mode) {
    previousFillMode = fillMode;
    if (Target t = Current()) XSetFillRule(t.display, t.gc, mode);
    fillMode = mode;
}

void SDrawing::SetFillStyle(int style) {
    fillStyle = style;
    if (Target t = Current()) XSetFillStyle(t.display, t.gc, style);
}

void SDrawing::SetLogic(int code) {
    logic = code;
    int function = code >= 0 && code < kLogicCodes ? kLogicFunctions[code] : GXcopy;
    if (Target t = Current()) XSetFunction(t.display, t.gc, function);
}

void SDrawing::SetPen(SDrawPen* pen) {
    Target t = Current();
    if (!pen || !t) return;
    penWidth = pen->width < 0 ? 0 : pen->width;
    penDashed = pen->dashed;
    StrokeWidth(t);
    XSetForeground(t.display, t.gc, static_cast<unsigned long>(static_cast<unsigned>(pen->colour)));
}

void SDrawing::StrokeWidth(const Target& t) {
    const int s = Scale();
    const int width = s == 1 ? penWidth : std::max(penWidth, 1) * s;
    XSetLineAttributes(t.display, t.gc, static_cast<unsigned int>(width),
                       penDashed ? LineOnOffDash : LineSolid, CapNotLast, JoinRound);
}

void SDrawing::SetBrush(SDrawBrush* target) {
    brush = target;
    if (brush) SetForeground(brush->EffectiveColour());
}

void SDrawing::SetFont(SDrawFont* target) {
    font = target;
    Target t = Current();
    if (XFontStruct* face = LoadedFont(*this); face && t) XSetFont(t.display, t.gc, face->fid);
}

int SDrawing::Scale() const {
    return globals ? globals->Scale() : 1;
}

SDrawing::Rect SDrawing::Scaled(const Rect& r) const {
    const int s = Scale();
    return {r.x1 * s, r.y1 * s, r.x2 * s, r.y2 * s};
}

int SDrawing::Middle(int v) const {
    const int s = Scale();
    return v * s + s / 2;
}

SDrawing::Target SDrawing::Current() const {
    Target t;
    if (!device) return t;
    t.display = device->GetDisplay();
    t.drawable = device->GetDrawable();
    t.gc = device->Get();
    return t;
}

void SDrawing::SetForeground(int colour) {
    if (Target t = Current())
        XSetForeground(t.display, t.gc, static_cast<unsigned long>(static_cast<unsigned>(colour)));
}

} // namespace zell::gui::context
