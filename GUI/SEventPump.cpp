#include "SEventPump.h"

#include "SAtoms.h"
#include "SBrokenPipeScope.h"
#include "SControl.h"
#include "SDisplay.h"
#include "SXConnection.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <sys/socket.h>
#include <mutex>
#include <thread>

namespace zell::gui {

namespace {

// The pump blocks in XNextEvent: with Xlib's thread support it wakes both for events from the
// socket and for events another thread has read into the queue. A client message to its own
// window wakes it to stop; so does the loss of the connection.
struct Pump {
    // At the process's exit this may run on the pump's own thread (Xlib ends the process from
    // there when a host's handler says so), which cannot wait for itself.
    ~Pump() {
        Stop();
        Join();
        if (thread.joinable()) thread.detach();
    }

    std::mutex lock;
    std::thread thread;
    std::thread::id id;
    Display* display = nullptr;
    Window wake = 0;
    Atom stopAtom = 0;
    Atom syncAtom = 0;
    std::mutex syncLock;
    std::condition_variable synced;
    long syncSent = 0;
    long syncSeen = 0;
    int windows = 0;
    std::atomic<bool> stopping{false};
    std::atomic<bool> alive{false};

    // A stop message whose stop was cancelled since (a window made again on this thread) is
    // passed over.
    void Run() {
        zell::threading::BlockBrokenPipesInThisThread(); // it flushes requests before it reads
        Loop();
        std::lock_guard<std::mutex> hold(syncLock);
        alive = false;
        synced.notify_all();
    }

    void Loop() {
        XEvent e;
        while (SXConnection::NextEvent(display, &e)) {
            if (e.type == ClientMessage && e.xclient.window == wake) {
                if (static_cast<Atom>(e.xclient.message_type) == syncAtom) {
                    std::lock_guard<std::mutex> hold(syncLock);
                    syncSeen = e.xclient.data.l[0];
                    synced.notify_all();
                    continue;
                }
                if (stopping.load()) return;
                continue;
            }
            SControl::eventProc(&e);
        }
    }

    void Start(Display* d) {
        if (thread.joinable() && std::this_thread::get_id() == id) {
            stopping = false;
            return;
        }
        Join();
        display = d;
        XSetWindowAttributes a{};
        wake = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, InputOnly, CopyFromParent,
                             0, &a);
        stopAtom = SAtoms::Of(d).pumpStop;
        syncAtom = SAtoms::Of(d).pumpSync;
        XFlush(d);
        stopping = false;
        alive = true;
        thread = std::thread([this] { Run(); });
        id = thread.get_id();
    }

    // A message to the pump's own window, behind everything already sent.
    void Post(Atom type, long value) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = wake;
        e.xclient.message_type = type;
        e.xclient.format = 32;
        e.xclient.data.l[0] = value;
        XSendEvent(display, wake, False, NoEventMask, &e);
        XFlush(display);
    }

    // Sends a marker behind everything queued so far; the caller waits with WaitFor, without
    // the pump's lock, so handlers that make or destroy windows meanwhile do not block.
    long SendSyncMarker() {
        std::lock_guard<std::mutex> hold(syncLock);
        long mark = ++syncSent;
        XSync(display, False); // whatever the server sent before is now queued ahead
        Post(syncAtom, mark);
        return mark;
    }

    void WaitFor(long mark) {
        std::unique_lock<std::mutex> hold(syncLock);
        synced.wait(hold, [&] { return syncSeen >= mark || !alive.load(); });
    }

    void Stop() {
        if (!thread.joinable() || stopping.load()) {
            Join();
            return;
        }
        stopping = true;
        Post(stopAtom, 0);
        Join();
    }

    bool WaitEnded(std::chrono::seconds grace) {
        std::unique_lock<std::mutex> hold(syncLock);
        return synced.wait_for(hold, grace, [&] { return !alive.load(); });
    }

    // A pump asked to stop from its own thread ends after the current event; it is joined by
    // the next start or by the shutdown. A pump stuck in a server that no longer answers is
    // woken by cutting the connection (ours, and the toolkit is going); one that still does not
    // end (blocked on a lock of a thread that is ending the process) is let go.
    void Join() {
        if (!thread.joinable()) return;
        if (std::this_thread::get_id() == id) return;
        constexpr std::chrono::seconds kGrace{2};
        if (!WaitEnded(kGrace)) {
            shutdown(ConnectionNumber(display), SHUT_RDWR);
            if (!WaitEnded(kGrace)) {
                thread.detach();
                id = {};
                wake = 0;
                display = nullptr;
                return;
            }
        }
        thread.join();
        id = {};
        if (wake) XDestroyWindow(display, wake);
        XFlush(display);
        wake = 0;
        display = nullptr;
    }
};

Pump& ThePump() {
    static Pump pump;
    return pump;
}

// The pump is stopped and joined before the unload closes its connection.
const bool kUnloadHook = [] {
    AtToolkitUnload(&SEventPump::Shutdown);
    return true;
}();

} // namespace

bool SEventPump::Serves(Display* display) {
    return display && display != dp.load();
}

void SEventPump::WindowCreated(Display* display) {
    if (!Serves(display)) return;
    // What the pumped controls reach lazily must be built before the pump, so that at exit it
    // is destroyed after the pump has stopped.
    SDisplay::Instance();
    Pump& p = ThePump();
    std::lock_guard<std::mutex> hold(p.lock);
    if (p.windows++ == 0 || !p.thread.joinable() || p.stopping.load()) p.Start(display);
}

void SEventPump::WindowDestroyed(Display* display) {
    if (!Serves(display)) return;
    Pump& p = ThePump();
    std::lock_guard<std::mutex> hold(p.lock);
    if (p.windows > 0 && --p.windows == 0) p.Stop();
}

void SEventPump::Shutdown() {
    Pump& p = ThePump();
    std::lock_guard<std::mutex> hold(p.lock);
    p.Stop();
    p.Join();
    p.windows = 0;
}

bool SEventPump::Running() {
    Pump& p = ThePump();
    std::lock_guard<std::mutex> hold(p.lock);
    return p.thread.joinable() && !p.stopping.load();
}

void SEventPump::Sync() {
    Pump& p = ThePump();
    long mark = 0;
    {
        std::lock_guard<std::mutex> hold(p.lock);
        if (!p.thread.joinable() || !p.alive.load() || std::this_thread::get_id() == p.id) return;
        mark = p.SendSyncMarker();
    }
    p.WaitFor(mark);
}

bool SEventPump::OnPumpThread() {
    Pump& p = ThePump();
    std::lock_guard<std::mutex> hold(p.lock);
    return p.thread.joinable() && std::this_thread::get_id() == p.id;
}

} // namespace zell::gui
