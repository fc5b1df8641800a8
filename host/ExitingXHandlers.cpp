#include "ExitingXHandlers.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <unistd.h>

namespace ferrovane::host {

namespace {

int ExitOnError(Display* d, XErrorEvent* e) {
    char text[256] = {};
    XGetErrorText(d, e->error_code, text, sizeof text);
    fprintf(stderr, "host: X error %s (request %d, resource 0x%lx): exiting\n", text,
            e->request_code, e->resourceid);
    _exit(3);
}

int ExitOnLoss(Display*) {
    fputs("host: X connection lost: exiting\n", stderr);
    _exit(4);
}

} // namespace

void InstallExitingXHandlers() {
    XSetErrorHandler(ExitOnError);
    XSetIOErrorHandler(ExitOnLoss);
}

} // namespace ferrovane::host
