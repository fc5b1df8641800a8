// What the shared object sets up when it is loaded and takes down when it is unloaded. The
// three objects below are built in this order and destroyed in the reverse one: the display
// connection, the system data, then the drawing resources, which are emptied while the
// connection they were made on is still open.
#include "SBrokenPipeScope.h"
#include "SStaticData.h"
#include "SSystemData.h"
#include "SXConnection.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

namespace zell::gui {

namespace {

class LoadTimeDisplay {
  public:
    LoadTimeDisplay() {
        // The connection is shared by the host's GUI thread and the idle thread, so Xlib's
        // locking is turned on before this library makes its first X call.
        XInitThreads();
        const char* name = getenv("DISPLAY");
        if (!OpenToolkitDisplay(name ? name : ":0.0")) {
            fputs("Error: XOpenDisplay failed.\n", stderr);
            return;
        }
        XFlush(dps);
    }
    LoadTimeDisplay(const LoadTimeDisplay&) = delete;
    LoadTimeDisplay& operator=(const LoadTimeDisplay&) = delete;
    // A lost connection closes without a word to the server: Xlib knows it is gone. One that a
    // thread we had to let go may still read stays as it is.
    ~LoadTimeDisplay() {
        zell::threading::SBrokenPipeScope quiet;
        if (ToolkitDisplayLeftOpen()) {
            SXConnection::ReleaseIOErrors();
            return;
        }
        if (dps) XCloseDisplay(dps);
        SXConnection::Unwatch(dps);
        SXConnection::ReleaseIOErrors();
        dps = nullptr;
    }
};

struct LoadTimeSystemData {
    // The first use builds and fills the system data, so it is destroyed after the resources.
    LoadTimeSystemData() { system::sd(); }
};

LoadTimeDisplay loadTimeDisplay;
LoadTimeSystemData loadTimeSystemData;

} // namespace

SStaticData statdata;

namespace {

// Destroyed first of all: the toolkit stops what still dispatches or draws.
struct LoadTimeToolkit {
    ~LoadTimeToolkit() {
        zell::threading::SBrokenPipeScope quiet; // stopping the pump writes to the server
        RunToolkitUnloadHooks();
    }
};

LoadTimeToolkit loadTimeToolkit;

} // namespace

} // namespace zell::gui
