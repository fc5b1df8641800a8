#include "SEventPump.h"

#include "KeepLoaded.h"
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
#include <memory>
#include <sys/socket.h>
#include <mutex>
#include <thread>

namespace zell::gui {

namespace {

// What the pump's thread uses. The thread holds it too, so a thread that had to be let go
// finds it still there whatever happens to the pump.
struct PumpState {
    Display* display = nullptr;
    Window wake = 0;
    Atom stopAtom = 0;
    Atom syncAtom = 0;
    std::mutex syncLock;
    std::condition_variable synced;
    long syncSent = 0;
    long syncSeen = 0;
    std::atomic<bool> stopping{false};
    std::atomic<bool> alive{false};

    // A stop message whose stop was cancelled since (a window made again on this thread) is
    // passed over.
    void Run() {
        zell::threading::BlockBrokenPipesInThisThread(); // it flushes requests before it reads
        try {
            Loop();
        } catch (...) { // a handler's failure ends the pump, not the host
        }
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
};

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
    std::shared_ptr<PumpState> state = std::make_shared<PumpState>();
    int windows = 0;

    void Start(Display* d) {
        if (thread.joinable() && std::this_thread::get_id() == id) {
            state->stopping = false;
            return;
        }
        Join();
        PumpState& s = *state;
        s.display = d;
        XSetWindowAttributes a{};
        s.wake = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, InputOnly, CopyFromParent,
                               0, &a);
        s.stopAtom = SAtoms::Of(d).pumpStop;
        s.syncAtom = SAtoms::Of(d).pumpSync;
        XFlush(d);
        s.stopping = false;
        s.alive = true;
        thread = std::thread([kept = state] { kept->Run(); });
        id = thread.get_id();
    }

    // A message to the pump's own window, behind everything already sent.
    void Post(Atom type, long value) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = state->wake;
        e.xclient.message_type = type;
        e.xclient.format = 32;
        e.xclient.data.l[0] = value;
        XSendEvent(state->display, state->wake, False, NoEventMask, &e);
        XFlush(state->display);
    }

    // Sends a marker behind everything queued so far; the caller waits with WaitFor, without
    // the pump's lock, so handlers that make or destroy windows meanwhile do not block.
    long SendSyncMarker() {
        std::lock_guard<std::mutex> hold(state->syncLock);
        long mark = ++state->syncSent;
        XSync(state->display, False); // whatever the server sent before is now queued ahead
        Post(state->syncAtom, mark);
        return mark;
    }

    static void WaitFor(PumpState& s, long mark) {
        std::unique_lock<std::mutex> hold(s.syncLock);
        s.synced.wait(hold, [&] { return s.syncSeen >= mark || !s.alive.load(); });
    }

    void Stop() {
        if (!thread.joinable() || state->stopping.load()) {
            Join();
            return;
        }
        state->stopping = true;
        Post(state->stopAtom, 0);
        Join();
    }

    bool WaitEnded(std::chrono::seconds grace) {
        std::unique_lock<std::mutex> hold(state->syncLock);
        return state->synced.wait_for(hold, grace, [&] { return !state->alive.load(); });
    }

    // A pump asked to stop from its own thread ends after the current event; it is joined by
    // the next start or by the shutdown. A pump stuck in a server that no longer answers is
    // woken by cutting the connection (ours, and the toolkit is going); one that still does not
    // end (blocked on a lock of a thread that is ending the process) is let go with what it
    // uses: its state, its connection, and the toolkit's code.
    void Join() {
        if (!thread.joinable()) return;
        if (std::this_thread::get_id() == id) return;
        constexpr std::chrono::seconds kGrace{2};
        if (!WaitEnded(kGrace)) {
            shutdown(ConnectionNumber(state->display), SHUT_RDWR);
            if (!WaitEnded(kGrace)) {
                thread.detach();
                id = {};
                LeaveToolkitDisplayOpen();
                system::KeepOwnObjectLoaded();
                state = std::make_shared<PumpState>();
                return;
            }
        }
        thread.join();
        id = {};
        if (state->wake) XDestroyWindow(state->display, state->wake);
        XFlush(state->display);
        state->wake = 0;
        state->display = nullptr;
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
    return display && !SXConnection::IsHost(display);
}

void SEventPump::WindowCreated(Display* display) {
    if (!Serves(display)) return;
    // What the pumped controls reach lazily must be built before the pump, so that at exit it
    // is destroyed after the pump has stopped.
    SDisplay::Instance();
    Pump& p = ThePump();
    std::lock_guard<std::mutex> hold(p.lock);
    if (p.windows++ == 0 || !p.thread.joinable() || p.state->stopping.load()) p.Start(display);
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
    return p.thread.joinable() && !p.state->stopping.load();
}

void SEventPump::Sync() {
    Pump& p = ThePump();
    long mark = 0;
    std::shared_ptr<PumpState> state;
    {
        std::lock_guard<std::mutex> hold(p.lock);
        if (!p.thread.joinable() || !p.state->alive.load() || std::this_thread::get_id() == p.id)
            return;
        mark = p.SendSyncMarker();
        state = p.state;
    }
    Pump::WaitFor(*state, mark);
}

bool SEventPump::OnPumpThread() {
    Pump& p = ThePump();
    std::lock_guard<std::mutex> hold(p.lock);
    return p.thread.joinable() && std::this_thread::get_id() == p.id;
}

} // namespace zell::gui
