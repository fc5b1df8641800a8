#include "SAtoms.h"

#include "SDisplayLock.h"
#include "SXReplyBatch.h"

#include <X11/Xlib.h>

#include <cstring>
#include <mutex>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui {

namespace {

constexpr const char* kAlways[] = {
    "_ZELLWND",        "_XEventProc",  "WM_PAINT_REGION", "WM_PAINT_AREA",   "WM_PAINT_OUTLINES",
    "WM_MENU_ENTERED", "WM_MENU_LEFT", "WM_PROTOCOLS",    "_ZELL_PUMP_STOP", "_ZELL_PUMP_SYNC",
};
constexpr const char* kIfTheyExist[] = {
    "WM_DELETE_WINDOW",
    "WM_CHANGE_STATE",
    "_MOTIF_WM_HINTS",
    "_WIN_HINTS",
    "KWM_WIN_DECORATION",
    "_NET_WM_WINDOW_TYPE",
    "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
};
// The fields, in the order of the names above.
constexpr Atom SAtoms::*kFields[] = {
    &SAtoms::zellWnd,       &SAtoms::eventProc,   &SAtoms::paintRegion,   &SAtoms::paintArea,
    &SAtoms::paintOutlines, &SAtoms::menuEntered, &SAtoms::menuLeft,      &SAtoms::protocols,
    &SAtoms::pumpStop,      &SAtoms::pumpSync,    &SAtoms::deleteWindow,  &SAtoms::changeState,
    &SAtoms::motifHints,    &SAtoms::winHints,    &SAtoms::kwmDecoration, &SAtoms::windowType,
    &SAtoms::typeOverride,  &SAtoms::typeNormal,
};
constexpr int kAlwaysCount = sizeof kAlways / sizeof *kAlways;
constexpr int kAtomCount = kAlwaysCount + sizeof kIfTheyExist / sizeof *kIfTheyExist;
static_assert(sizeof kFields / sizeof *kFields == kAtomCount, "a field for every name");

struct Entry {
    Display* display = nullptr;
    SAtoms atoms{};
};

constexpr int kDisplays = 8;
std::mutex tableLock; // held while a display's atoms are interned: one round trip

const char* Name(int i) {
    return i < kAlwaysCount ? kAlways[i] : kIfTheyExist[i - kAlwaysCount];
}

// Every name in one round trip, each with its own only-if-exists.
void Intern(Display* display, Atom* found) {
    AskTogether(
        display, kAtomCount,
        [](Display* dpy, int i) {
            const char* name = Name(i);
            const auto length = static_cast<CARD16>(strlen(name));
            xInternAtomReq* req;
            GetReq(InternAtom, req);
            req->onlyIfExists = i >= kAlwaysCount ? xTrue : xFalse;
            req->nbytes = length;
            req->length += static_cast<CARD16>((length + 3) >> 2);
            SXReplyBatch::Append(dpy, name, length);
        },
        [&](int i, const unsigned char* reply, size_t length) {
            if (length >= sizeof(xInternAtomReply))
                found[i] = reinterpret_cast<const xInternAtomReply*>(reply)->atom;
        });
}
Entry table[kDisplays];
const SAtoms kNone{};

} // namespace

// Painting threads ask for atoms too: the display is locked first (SDisplayLock.h).
const SAtoms& SAtoms::Of(Display* display) {
    if (!display) return kNone;
    SDisplayLock locked(display);
    std::lock_guard<std::mutex> hold(tableLock);
    Entry* free = nullptr;
    for (Entry& e : table) {
        if (e.display == display) return e.atoms;
        if (!e.display && !free) free = &e;
    }
    Entry* entry = free ? free : &table[0]; // one display more takes the first one's place
    Atom found[kAtomCount] = {};
    Intern(display, found);
    for (int i = 0; i < kAtomCount; ++i)
        entry->atoms.*kFields[i] = found[i];
    entry->display = display;
    return entry->atoms;
}

void SAtoms::Forget(Display* display) {
    std::lock_guard<std::mutex> hold(tableLock);
    for (Entry& e : table)
        if (e.display == display) e = Entry{};
}

} // namespace zell::gui
