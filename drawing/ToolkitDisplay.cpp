#include "ToolkitDisplay.h"

#include "SBrokenPipeScope.h"
#include "SXConnection.h"

#include <X11/Xlib.h>

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zell::gui {

namespace {

constexpr int kMaxHooks = 4;
void (*unloadHooks[kMaxHooks])() = {};

} // namespace

std::atomic<_XDisplay*> dp{nullptr};
_XDisplay* dps = nullptr;

_XDisplay* ToolkitDisplay() {
    _XDisplay* host = dp.load(std::memory_order_acquire);
    if (host) return host;
    return dps && !SXConnection::Lost(dps) ? dps : nullptr;
}

bool ToolkitConnectionLost() {
    return dps && SXConnection::Lost(dps);
}

bool SetHostDisplay(void* display) {
    if (!display) return false;
    _XDisplay* expected = nullptr;
    if (!dp.compare_exchange_strong(expected, static_cast<_XDisplay*>(display),
                                    std::memory_order_acq_rel))
        return false;
    SXConnection::WatchHost(static_cast<_XDisplay*>(display));
    return true;
}

_XDisplay* TakeHostDisplay() {
    _XDisplay* host = dp.exchange(nullptr, std::memory_order_acq_rel);
    if (host) SXConnection::Unwatch(host);
    return host;
}

namespace {

// Where Xlib connects for a display name: the host part (empty or "unix" for this machine's
// socket) and the display number, both pointing into the name.
struct DisplayAddress {
    const char* host = nullptr;
    size_t hostLength = 0;
    const char* number = nullptr;
    size_t numberLength = 0;
};

// Xlib reads a display name as [protocol/][host]:display[.screen], and a missing or empty name
// as the DISPLAY variable. False when there is no name or it is not of that form: then no
// server is tried at all.
bool ParseDisplayName(const char* name, DisplayAddress* address) {
    if (!name || !*name) name = getenv("DISPLAY");
    if (!name) return false;
    if (const char* slash = strrchr(name, '/')) name = slash + 1;
    const char* colon = strrchr(name, ':');
    if (!colon || !isdigit(static_cast<unsigned char>(colon[1]))) return false;
    const char* end = colon + 1;
    while (isdigit(static_cast<unsigned char>(*end)))
        ++end;
    address->number = colon + 1;
    address->numberLength = static_cast<size_t>(end - address->number);
    if (*end == '.') {
        if (!isdigit(static_cast<unsigned char>(*++end))) return false;
        while (isdigit(static_cast<unsigned char>(*end)))
            ++end;
    }
    if (*end) return false;
    address->host = name;
    address->hostLength = static_cast<size_t>(colon - name);
    return true;
}

// Whether something listens on the socket: a non-blocking connect that is taken at once or
// waits in a full queue says yes; nothing bound there, or a socket left by a server that has
// gone, refuses.
bool Listens(const sockaddr_un& address, socklen_t length) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool listens = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 ||
                         errno == EAGAIN || errno == EINPROGRESS;
    close(fd);
    return listens;
}

// Whether a server listens on the local display's socket, asked where Xlib looks: the abstract
// name first, then the file, which is all a server has where abstract sockets are not allowed.
bool LocalServerListens(const DisplayAddress& address) {
    static constexpr char kPath[] = "/tmp/.X11-unix/X";
    const size_t pathLength = sizeof kPath - 1 + address.numberLength;
    sockaddr_un file{};
    if (pathLength + 2 > sizeof file.sun_path) return false;
    file.sun_family = AF_UNIX;
    memcpy(file.sun_path, kPath, sizeof kPath - 1);
    memcpy(file.sun_path + sizeof kPath - 1, address.number, address.numberLength);
    sockaddr_un abstract{};
    abstract.sun_family = AF_UNIX;
    memcpy(abstract.sun_path + 1, file.sun_path, pathLength);
    const auto length = [](size_t path) {
        return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path);
    };
    return Listens(abstract, length(pathLength + 1)) || Listens(file, length(pathLength));
}

// A failed open is tried again when the server is there and only this connection failed: its
// queue of new connections was full, or it dropped the connection during the handshake (as a
// server does while it resets after its last client left). Xlib leaves errno as the last
// failing call inside it set it, which after a dropped handshake can be anything, even the
// refusal of the abstract socket it tried first. So for a local display the socket itself is
// asked; for a remote one only a full queue and a reset connection count, while errno 0 there
// is a name that does not resolve. A malformed name is final.
bool WorthRetrying(const char* name, int error) {
    DisplayAddress address;
    if (!ParseDisplayName(name, &address)) return false;
    const bool local =
        address.hostLength == 0 || (address.hostLength == 4 && !strncmp(address.host, "unix", 4));
    if (local) return LocalServerListens(address);
    return error == EAGAIN || error == ECONNRESET;
}

} // namespace

_XDisplay* OpenDisplay(const char* name) {
    zell::threading::SBrokenPipeScope dropped; // a dropped set-up must not end the host
    for (int attempt = 0; attempt < 200; ++attempt) {
        errno = 0;
        if (Display* d = XOpenDisplay(name)) return d;
        if (!WorthRetrying(name, errno)) return nullptr;
        timespec pause{0, 5'000'000};
        nanosleep(&pause, nullptr);
    }
    return nullptr;
}

bool OpenToolkitDisplay(const char* name) {
    if (dps) return !SXConnection::Lost(dps);
    const char* fallback = getenv("DISPLAY");
    dps = OpenDisplay(name && *name ? name : fallback);
    SXConnection::WatchOwn(dps);
    return dps != nullptr;
}

void AtToolkitUnload(void (*hook)()) {
    for (auto& slot : unloadHooks)
        if (!slot || slot == hook) {
            slot = hook;
            return;
        }
}

void RunToolkitUnloadHooks() {
    for (auto& slot : unloadHooks)
        if (slot) {
            slot();
            slot = nullptr;
        }
}

} // namespace zell::gui
