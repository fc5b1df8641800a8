// Two copies of the plugin (the same object in two folders, as with two plugin paths) in a host
// whose X error and connection-loss handlers are its own, installed before both copies are
// loaded or after them; the copies' editors open on the host's display, and the copies are
// unloaded in the order they were loaded or the other. Afterwards an X error of the host's own
// and then the loss of the server must reach the host's handlers, not code of an unloaded copy.
// Arguments: "before" or "after", then "load-order" or "reverse". Exits 0 when the host's
// connection-loss handler ended it, 1 when something else went wrong.
#include "HostWindow.h"
#include "OwnXServer.h"
#include "VstHost.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

using namespace ferrovane::host;
namespace fs = std::filesystem;

namespace {

constexpr XID kNowhere = 0x1FFFFFF0; // no window of any client
fs::path folder;
int hostErrors = 0;

// The host's own loop meets errors of its own too (reading the properties of the editors'
// windows as they go); only the one the test provokes is counted.
int CountError(Display*, XErrorEvent* e) {
    if (e->resourceid == kNowhere) ++hostErrors;
    return 0;
}

int EndOnLoss(Display*) {
    fputs("host: the host's own handler ran\n", stderr);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    _exit(hostErrors == 1 ? 0 : 1);
}

void InstallHostHandlers() {
    XSetErrorHandler(CountError);
    XSetIOErrorHandler(EndOnLoss);
}

// The built object copied into two folders of its own: the loader takes them for two objects.
bool MakeCopies(std::string* one, std::string* two) {
    char pattern[] = "/tmp/ferrovane-copies-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    folder = pattern;
    std::error_code e;
    for (auto [name, path] : {std::pair{"one", one}, std::pair{"two", two}}) {
        fs::create_directory(folder / name, e);
        *path = (folder / name / "ferrovane.so").string();
        if (!fs::copy_file(FERROVANE_PLUGIN_PATH, *path, e)) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const bool handlersFirst = strcmp(argv[1], "before") == 0;
    const bool loadOrder = strcmp(argv[2], "load-order") == 0;
    OwnXServer server;
    if (!server.Ok()) {
        fputs("no Xvfb\n", stderr);
        return 2;
    }
    DisplayName name(server.Name());
    std::string paths[2];
    if (!MakeCopies(&paths[0], &paths[1])) return 2;
    if (handlersFirst) InstallHostHandlers();
    HostWindow window(307, 425, true);
    VstHost copies[2];
    for (int i = 0; i < 2; ++i) {
        if (!window.Ok() || !copies[i].Load(paths[i]) || !copies[i].Instantiate()) return 2;
        copies[i].Start();
        if (!window.OpenEditor(copies[i])) return 2;
    }
    if (!handlersFirst) InstallHostHandlers();
    for (int step = 0; step < 2; ++step) {
        VstHost& copy = copies[loadOrder ? step : 1 - step];
        window.Exclusive([&] {
            copy.Dispatch(effEditClose);
            copy.Unload();
        });
    }
    window.Stop();
    Display* d = window.GetDisplay();
    XMapWindow(d, kNowhere);
    XSync(d, False);
    server.Kill();
    XSync(d, False);
    fputs("nothing ended the process\n", stderr);
    return 1;
}
