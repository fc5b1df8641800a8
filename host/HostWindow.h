// The stand-in host's X11 side: a top-level window of its own, on its own connection, that it
// hands to the plugin's editor, and the event loop a host runs for it. In event-proc mode the
// loop reads _XEventProc from the windows placed in its window and calls it with their events,
// as some hosts do; otherwise it serves only its own window.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace ferrovane::host {

class VstHost;

class HostWindow {
  public:
    HostWindow(int width, int height, bool eventProcMode, const char* title = "Ferrovane Host");
    // The loop holds XLockDisplay while it calls a plugin's event procedure, as some hosts do.
    void LockDisplayWhileForwarding(bool lock) { lockDisplay = lock; }
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // A connection of the host's own to "DISPLAY", waiting out a server that is busy accepting
    // others; null when there is no server.
    [[nodiscard]] static Display* Connect();

    bool Ok() const { return display && window; }
    Display* GetDisplay() const { return display; }
    Window GetWindow() const { return window; }
    // What EditOpen gets: the window in ptr, and the display in value when it is offered.
    void* EditOpenPtr() { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

    // Runs the host's event loop on a thread of its own until Stop.
    void Start();
    // Runs f while no event is being handed to a plugin. A host whose loop calls _XEventProc
    // makes its editor calls on that same thread; callers on other threads get the same order
    // by making theirs (open, close, the plugin's end) through this.
    template <typename F> void Exclusive(F&& f) {
        std::lock_guard<std::mutex> hold(forwardLock);
        f();
    }
    void Stop();
    // Returns once the loop has handled every event that reached the connection before the
    // call, as a host's loop does between its other work; at once without a loop.
    void Sync();
    // Sizes the window, as a host does to the size an editor asks for.
    void Resize(int width, int height);
    // The plugin's editor in this window, sized as the editor asks (effEditGetRect): starts the
    // loop and opens it (false when the plugin has none); closes it and stops the loop. Both in
    // turn with the events the loop hands over.
    [[nodiscard]] bool OpenEditor(VstHost& host);
    void CloseEditor(VstHost& host);
    // Events handed to a plugin's _XEventProc so far.
    int Forwarded() const { return forwarded.load(); }
    // Waits until the user closes the window (the window manager's delete request) or the
    // seconds have passed; a negative time waits for the user alone. Meanwhile idle, when
    // given, runs about every 40 ms, as a host's editor idle does. True when closed.
    bool WaitForClose(double seconds, const std::function<void()>& idle = {});

    // What a host does that destroys its window first: the loop stops and the window goes,
    // with whatever a plugin placed in it. NewWindow makes another and starts the loop again.
    void DestroyWindow();
    void NewWindow();
    // For a server that is gone: the connection is dropped without a word to it.
    void Abandon();

  private:
    void CreateWindow(int width, int height);
    void Post(Atom type, long value);
    void Loop();
    bool Forward(XEvent& e);

    Display* display = nullptr;
    Window window = 0;
    Atom stopAtom = 0;
    Atom syncAtom = 0;
    long syncSent = 0, syncSeen = 0; // guarded by closeLock
    Atom protocolsAtom = 0;
    Atom deleteAtom = 0;
    std::mutex forwardLock;
    std::mutex closeLock;
    std::condition_variable closeSignal;
    bool closed = false;
    bool eventProcMode;
    bool lockDisplay = false;
    std::string title;
    int width = 0, height = 0;
    std::thread thread;
    std::atomic<int> forwarded{0};
};

} // namespace ferrovane::host
