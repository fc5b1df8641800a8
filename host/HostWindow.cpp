#include "HostWindow.h"

#include "BrokenPipe.h"
#include "VstHost.h"

#include <X11/Xatom.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace ferrovane::host {

namespace {

XErrorHandler previousHandler = nullptr;

// A plugin destroys its windows whenever it likes, so the property read of an event that was
// queued for one of them may find it gone. Such a host shrugs that off; every other error
// goes on to the handler that was there before.
int IgnoreVanishedWindows(Display* d, XErrorEvent* e) {
    if (e->error_code == BadWindow && e->request_code == X_GetProperty) return 0;
    return previousHandler ? previousHandler(d, e) : 0;
}

} // namespace

Display* HostWindow::Connect() {
    IgnoreBrokenPipes();
    const char* name = getenv("DISPLAY");
    // A server's queue of new connections can be full for a moment; wait that out.
    for (int attempt = 0; attempt < 200; ++attempt) {
        errno = 0;
        if (Display* d = XOpenDisplay(name)) return d;
        if (errno != EAGAIN && errno != ECONNRESET && errno != EPIPE && errno != 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return nullptr;
}

HostWindow::HostWindow(int w, int h, bool eventProc, const char* name)
    : eventProcMode(eventProc), title(name ? name : "") {
    XInitThreads(); // the loop thread and the caller share the connection
    if (eventProcMode) {
        static std::once_flag installed;
        std::call_once(installed,
                       [] { previousHandler = XSetErrorHandler(IgnoreVanishedWindows); });
    }
    display = Connect();
    if (!display) return;
    stopAtom = XInternAtom(display, "_FERROVANE_HOST_STOP", False);
    syncAtom = XInternAtom(display, "_FERROVANE_HOST_SYNC", False);
    protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
    deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    CreateWindow(w, h);
}

void HostWindow::CreateWindow(int w, int h) {
    width = w;
    height = h;
    int screen = DefaultScreen(display);
    window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                 static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                                 BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, title.c_str());
    XSelectInput(display, window, StructureNotifyMask | SubstructureNotifyMask | ExposureMask);
    XSetWMProtocols(display, window, &deleteAtom, 1);
    XMapWindow(display, window);
    // Wait until the window is viewable, so what is placed in it can be shown and grabbed.
    XEvent e;
    do
        XWindowEvent(display, window, StructureNotifyMask, &e);
    while (e.type != MapNotify);
}

void HostWindow::DestroyWindow() {
    if (!Ok()) return;
    Stop();
    XWindowAttributes a{};
    XGetWindowAttributes(display, window, &a);
    width = a.width;
    height = a.height;
    XDestroyWindow(display, window);
    XSync(display, False);
    window = 0;
}

void HostWindow::NewWindow() {
    if (!display || window) return;
    CreateWindow(width, height);
    Start();
}

// A connection to a server that is gone cannot be closed (closing talks to the server); it is
// kept for the life of the process instead.
void HostWindow::Abandon() {
    // Never destroyed, so that the connections stay reachable to the end.
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the host has no owner type to mark it.
    static auto* abandoned = new std::vector<Display*>;
    if (thread.joinable()) thread.detach();
    if (display) abandoned->push_back(display);
    display = nullptr;
    window = 0;
}

HostWindow::~HostWindow() {
    Stop();
    if (display) {
        if (window) XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
}

void HostWindow::Start() {
    if (Ok() && !thread.joinable()) thread = std::thread([this] { Loop(); });
}

// A message of the host's own to its window, for its loop.
void HostWindow::Post(Atom type, long value) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = value;
    XSendEvent(display, window, False, NoEventMask, &e);
    XFlush(display);
}

void HostWindow::Stop() {
    if (!thread.joinable()) return;
    Post(stopAtom, 0);
    thread.join();
}

void HostWindow::Sync() {
    if (!thread.joinable()) return;
    long mark = 0;
    {
        std::lock_guard<std::mutex> hold(closeLock);
        mark = ++syncSent;
    }
    XSync(display, False); // what the server sent before is queued ahead of the marker
    Post(syncAtom, mark);
    std::unique_lock<std::mutex> hold(closeLock);
    closeSignal.wait(hold, [&] { return syncSeen >= mark; });
}

void HostWindow::Resize(int w, int h) {
    if (!Ok() || w <= 0 || h <= 0) return;
    width = w;
    height = h;
    XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XSync(display, False);
}

bool HostWindow::OpenEditor(VstHost& host) {
    Start();
    const auto d = eventProcMode ? reinterpret_cast<VstIntPtr>(display) : 0;
    VstIntPtr opened = 0;
    Exclusive([&] {
        ERect* rect = nullptr;
        if (host.Dispatch(effEditGetRect, 0, 0, &rect) && rect)
            Resize(rect->right - rect->left, rect->bottom - rect->top);
        opened = host.Dispatch(effEditOpen, 0, d, EditOpenPtr());
    });
    return opened == 1;
}

void HostWindow::CloseEditor(VstHost& host) {
    Exclusive([&] { host.Dispatch(effEditClose); });
    Stop();
}

void HostWindow::Loop() {
    while (true) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == ClientMessage && e.xclient.window == window &&
            static_cast<Atom>(e.xclient.message_type) == stopAtom)
            return;
        if (e.type == ClientMessage && e.xclient.window == window &&
            static_cast<Atom>(e.xclient.message_type) == syncAtom) {
            std::lock_guard<std::mutex> hold(closeLock);
            syncSeen = e.xclient.data.l[0];
            closeSignal.notify_all();
            continue;
        }
        if (e.type == ClientMessage && e.xclient.window == window &&
            static_cast<Atom>(e.xclient.message_type) == protocolsAtom &&
            static_cast<Atom>(e.xclient.data.l[0]) == deleteAtom) {
            std::lock_guard<std::mutex> hold(closeLock);
            closed = true;
            closeSignal.notify_all();
        }
        if (eventProcMode && e.xany.window != window) Forward(e);
    }
}

bool HostWindow::WaitForClose(double seconds, const std::function<void()>& idle) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(seconds < 0 ? 0 : seconds));
    while (seconds < 0 || Clock::now() < end) {
        {
            std::unique_lock<std::mutex> hold(closeLock);
            auto until = Clock::now() + std::chrono::milliseconds(40);
            if (seconds >= 0 && until > end) until = end;
            if (closeSignal.wait_until(hold, until, [this] { return closed; })) return true;
        }
        if (idle) idle();
    }
    std::lock_guard<std::mutex> hold(closeLock);
    return closed;
}

// Reads the property as exactly one 32-bit item, the way such hosts do, and calls it.
bool HostWindow::Forward(XEvent& e) {
    std::lock_guard<std::mutex> hold(forwardLock);
    Atom proc = XInternAtom(display, "_XEventProc", True);
    if (proc == None) return false;
    Atom type;
    int format;
    unsigned long items = 0, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, e.xany.window, proc, 0, 1, False, AnyPropertyType, &type,
                           &format, &items, &after, &data) != Success) {
        return false;
    }
    bool called = false;
    if (data && format == 32 && items == 1) {
        auto address = static_cast<uint32_t>(*reinterpret_cast<unsigned long*>(data));
        auto* entry = reinterpret_cast<void (*)(XEvent*)>(static_cast<uintptr_t>(address));
        if (lockDisplay) XLockDisplay(display);
        entry(&e);
        if (lockDisplay) XUnlockDisplay(display);
        forwarded.fetch_add(1);
        called = true;
    }
    if (data) XFree(data);
    return called;
}

} // namespace ferrovane::host
