#include "SXExtensions.h"

#include "SXReplyBatch.h"

#include <X11/Xlib.h>

#include <cstring>
#include <mutex>
#include <vector>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui {

namespace {

constexpr const char* kNames[] = {SXExtensions::kShape, SXExtensions::kXinerama};
constexpr int kCount = sizeof kNames / sizeof *kNames;

struct Connection {
    Display* display;
    int opcodes[kCount];
};

// Never held across a request.
std::mutex tableLock;
std::vector<Connection> connections;

bool Known(Display* d, Connection& out) {
    std::lock_guard<std::mutex> hold(tableLock);
    for (const Connection& c : connections)
        if (c.display == d) {
            out = c;
            return true;
        }
    return false;
}

Connection Ask(Display* d) {
    Connection c{d, {}};
    AskTogether(
        d, kCount,
        [](Display* dpy, int i) {
            const auto length = static_cast<CARD16>(strlen(kNames[i]));
            xQueryExtensionReq* req;
            GetReq(QueryExtension, req);
            req->nbytes = length;
            req->length += static_cast<CARD16>((length + 3) >> 2);
            SXReplyBatch::Append(dpy, kNames[i], length);
        },
        [&](int i, const unsigned char* reply, size_t length) {
            if (length < sizeof(xQueryExtensionReply)) return;
            const auto* r = reinterpret_cast<const xQueryExtensionReply*>(reply);
            c.opcodes[i] = r->present ? r->major_opcode : 0;
        });
    std::lock_guard<std::mutex> hold(tableLock);
    connections.push_back(c);
    return c;
}

} // namespace

int SXExtensions::Opcode(Display* d, const char* name) {
    if (!d) return 0;
    Connection c{};
    if (!Known(d, c)) c = Ask(d);
    for (int i = 0; i < kCount; ++i)
        if (!strcmp(kNames[i], name)) return c.opcodes[i];
    return 0;
}

void SXExtensions::Forget(Display* d) {
    std::lock_guard<std::mutex> hold(tableLock);
    std::erase_if(connections, [d](const Connection& c) { return c.display == d; });
}

} // namespace zell::gui
