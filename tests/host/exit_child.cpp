// A host whose X connection-loss handler ends the process, installed after the plugin's editor
// opened (so it stands in front of the plugin's own), and an X server that goes away: Xlib then
// calls exit on whichever plugin thread notices first, and the process must end, not hang in
// the plugin's static destructors. Exits 0 when the handler ended it, 1 when nothing did.
#include "HostWindow.h"
#include "OwnXServer.h"
#include "VstHost.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace ferrovane::host;

namespace {

int ExitOnLoss(Display*) {
    fputs("host: X connection lost: exiting\n", stderr);
    exit(0); // the full exit, with every static destructor
}

} // namespace

int main() {
    OwnXServer server;
    if (!server.Ok()) {
        fputs("no Xvfb\n", stderr);
        return 2;
    }
    DisplayName name(server.Name());
    HostWindow window(307, 425, false);
    VstHost host;
    if (!window.Ok() || !host.Load(FERROVANE_PLUGIN_PATH) || !host.Instantiate()) return 2;
    host.Start();
    if (!window.OpenEditor(host)) return 2;
    AEffect* e = host.Effect();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    window.Stop();
    XSetIOErrorHandler(ExitOnLoss);
    server.Kill();
    // The idle pass has work from now on, and makes requests on the dead connection.
    for (int i = 0; i < 3000; ++i) {
        e->setParameter(e, 3, static_cast<float>(i & 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fputs("nothing ended the process\n", stderr);
    return 1;
}
