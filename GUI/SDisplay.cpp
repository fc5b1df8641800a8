#include "SDisplay.h"

#include "SControl.h"
#include "SSystemData.h"
#include "SXExtensions.h"
#include "SXReplyBatch.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>

#include <cmath>

// Last: it defines macros that clash with ordinary names (the protocol header needs it).
#include <X11/Xlibint.h>
#include <X11/extensions/panoramiXproto.h>

namespace zell::gui {

namespace {

// The server is asked once for the process: the display object and the system data's monitor
// list both take this measurement, which never re-enters the display object under construction.
const SDisplay& Measured() {
    static const SDisplay measured = [] {
        SDisplay m;
        m.AllMonitorRects(ToolkitDisplay());
        return m;
    }();
    return measured;
}

bool MonitorQuery(std::vector<system::SDisplayRect>& out) {
    for (const Rect2& m : Measured().Monitors())
        out.push_back({m.x1, m.y1, m.Width(), m.Height()});
    return !out.empty();
}

const bool kQueryInstalled = [] {
    system::SSystemData::SetDisplayQuery(&MonitorQuery);
    return true;
}();

} // namespace

SDisplay& SDisplay::Instance() {
    static SDisplay display = Measured();
    static const bool built = [] {
        system::sd().getDisplayInfos();
        return true;
    }();
    (void)built;
    return display;
}

bool SDisplay::SplitScreen(int width, int height, std::vector<Rect2>& out) {
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    if (width > 0 && height > 0) {
        float tall = h / (0.8f * w);
        if (tall > 1.5f) {
            int n = static_cast<int>(std::lround(tall));
            int each = static_cast<int>(std::lround(h / tall));
            for (int i = 0; i < n; ++i)
                out.push_back({0, i * each, width, (i + 1) * each});
            return true;
        }
        float wide = (0.8f * w) / h;
        if (wide > 1.5f) {
            int n = static_cast<int>(std::lround(wide));
            int each = static_cast<int>(std::lround(w / wide));
            for (int i = 0; i < n; ++i)
                out.push_back({i * each, 0, (i + 1) * each, height});
            return true;
        }
    }
    out.push_back({0, 0, width, height});
    return false;
}

// Whether Xinerama is active and its screens, asked together.
bool SDisplay::QueryXinerama(Display* d) {
    const int xinerama = SXExtensions::Opcode(d, SXExtensions::kXinerama);
    if (!xinerama) return false;
    bool active = false;
    std::vector<xXineramaScreenInfo> screens;
    AskTogether(
        d, 2,
        [&](Display* dpy, int i) {
            xXineramaQueryScreensReq* req;
            GetReq(XineramaQueryScreens, req);
            req->reqType = static_cast<CARD8>(xinerama);
            req->panoramiXReqType = i == 0 ? X_XineramaIsActive : X_XineramaQueryScreens;
        },
        [&](int i, const unsigned char* reply, size_t length) {
            if (i == 0 && length >= sizeof(xXineramaIsActiveReply))
                active = reinterpret_cast<const xXineramaIsActiveReply*>(reply)->state != 0;
            if (i != 1 || length < sizeof(xXineramaQueryScreensReply)) return;
            const auto* r = reinterpret_cast<const xXineramaQueryScreensReply*>(reply);
            const auto* info = reinterpret_cast<const xXineramaScreenInfo*>(reply + sizeof *r);
            for (CARD32 s = 0; s < r->number && sizeof *r + (s + 1) * sizeof *info <= length; ++s)
                screens.push_back(info[s]);
        });
    if (!active) return false;
    monitorCount = static_cast<int>(screens.size());
    for (const xXineramaScreenInfo& s : screens) {
        Rect2 r{s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height};
        monitors.push_back(r);
        Unite(bounds, r);
    }
    return true;
}

void SDisplay::QueryWorkAreas(Display* d) {
    monitorCount = ScreenCount(d);
    if (monitorCount < 2) return;
    Atom workArea = XInternAtom(d, "_NET_WORKAREA", True);
    if (workArea == None) return;
    for (int s = 0; s < monitorCount; ++s) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, RootWindow(d, s), workArea, 0, 4, False, XA_CARDINAL, &type,
                               &format, &items, &after, &data) == Success &&
            type == XA_CARDINAL && format == 32 && items == 4) {
            const long* v = reinterpret_cast<const long*>(data);
            Rect2 r{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
                    static_cast<int>(v[1] + v[3])};
            monitors.push_back(r);
            Unite(bounds, r);
        }
        if (data) XFree(data);
    }
}

void SDisplay::AllMonitorRects(Display* d) {
    monitors.clear();
    bounds = {};
    virtualSplit = false;
    monitorCount = 0;
    if (!d) return;
    if (!QueryXinerama(d)) QueryWorkAreas(d);
    if (!monitors.empty()) {
        monitorCount = static_cast<int>(monitors.size());
        return;
    }
    int screen = DefaultScreen(d);
    bounds = {0, 0, DisplayWidth(d, screen), DisplayHeight(d, screen)};
    virtualSplit = SplitScreen(bounds.x2, bounds.y2, monitors);
    monitorCount = static_cast<int>(monitors.size());
}

Rect2 SDisplay::MonitorRect(const Point2& p) const {
    for (const Rect2& m : monitors)
        if (Contains(m, p)) return m;
    return monitors.empty() ? Rect2{} : monitors.front();
}

Rect2 SDisplay::MonitorRect(SControl* control) const {
    if (!control) return monitors.empty() ? Rect2{} : monitors.front();
    Point2 origin{0, 0};
    control->GetClient2Screen(origin);
    const Rect2& r = control->WindowRect();
    const int s = control->Scale();
    return MonitorRect(Point2{origin.x + r.Width() * s / 2, origin.y + r.Height() * s / 2});
}

namespace {

// The monitor's pixels are the screen's; the control is as many times larger as its scale, and
// is placed in its own pixels.
void CenterIn(SControl* control, const Rect2& m) {
    const Rect2& r = control->WindowRect();
    const int s = control->Scale();
    control->SetPosition(math::geom::FloorDiv(m.x1 + ((m.Width() - r.Width() * s) >> 1), s),
                         math::geom::FloorDiv(m.y1 + ((m.Height() - r.Height() * s) >> 1), s));
}

} // namespace

void SDisplay::CenterOnWindow(SControl* control) {
    if (control) CenterIn(control, MonitorRect(control));
}

void SDisplay::CenterOnWindow(SControl* control, const Point2& p) {
    if (control) CenterIn(control, MonitorRect(p));
}

} // namespace zell::gui
