#include "SXServerProbe.h"

#include "SXAuthority.h"

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zell::gui {

namespace {

// Xlib reads a display name as [protocol/][host]:display[.screen], and a missing or empty name
// as the DISPLAY variable. The display number of a name that reaches this machine's socket (no
// host, or "unix", and no protocol other than the local ones), or -1.
int LocalDisplayNumber(const char* name) {
    if (!name || !*name) name = getenv("DISPLAY");
    if (!name) return -1;
    if (const char* slash = strrchr(name, '/')) {
        const size_t protocol = static_cast<size_t>(slash - name);
        if (!(protocol == 4 && !strncmp(name, "unix", 4)) &&
            !(protocol == 5 && !strncmp(name, "local", 5)))
            return -1;
        name = slash + 1;
    }
    const char* colon = strrchr(name, ':');
    if (!colon || !isdigit(static_cast<unsigned char>(colon[1]))) return -1;
    const size_t host = static_cast<size_t>(colon - name);
    if (host != 0 && !(host == 4 && !strncmp(name, "unix", 4))) return -1;
    char* end = nullptr;
    const long number = strtol(colon + 1, &end, 10);
    if (*end == '.') {
        if (!isdigit(static_cast<unsigned char>(*++end))) return -1;
        while (isdigit(static_cast<unsigned char>(*end)))
            ++end;
    }
    return *end || number > 9999 ? -1 : static_cast<int>(number);
}

enum class Reach { kConnected, kBusy, kNothing };

Reach Connect(int fd, const sockaddr_un& address, socklen_t length) {
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0)
        return Reach::kConnected;
    return errno == EAGAIN || errno == EINPROGRESS ? Reach::kBusy : Reach::kNothing;
}

// Connects where Xlib does: the abstract name first, then the file, which is all a server has
// where abstract sockets are not allowed. The socket is left in fd when it is connected.
Reach ConnectLocal(int number, int* fd) {
    sockaddr_un file{};
    file.sun_family = AF_UNIX;
    const int pathLength =
        snprintf(file.sun_path, sizeof file.sun_path, "/tmp/.X11-unix/X%d", number);
    sockaddr_un abstract{};
    abstract.sun_family = AF_UNIX;
    memcpy(abstract.sun_path + 1, file.sun_path, static_cast<size_t>(pathLength));
    const auto length = [](int path) {
        return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + static_cast<size_t>(path));
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        *fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (*fd < 0) return Reach::kNothing;
        const Reach reach = attempt == 0 ? Connect(*fd, abstract, length(pathLength + 1))
                                         : Connect(*fd, file, length(pathLength));
        if (reach == Reach::kConnected) return reach;
        close(*fd);
        *fd = -1;
        if (reach == Reach::kBusy) return reach;
    }
    return Reach::kNothing;
}

// The connection set-up a client sends (little-endian, protocol 11.0): byte order, version,
// the authorization's name and data, each padded to four bytes. Its length, or 0.
size_t SetupRequest(const SXAuthority& auth, unsigned char* out, size_t size) {
    const auto padded = [](size_t n) { return (n + 3) & ~static_cast<size_t>(3); };
    const size_t total = 12 + padded(auth.nameLength) + padded(auth.dataLength);
    if (total > size) return 0;
    memset(out, 0, total);
    out[0] = 'l';
    out[2] = 11;
    out[6] = static_cast<unsigned char>(auth.nameLength);
    out[7] = static_cast<unsigned char>(auth.nameLength >> 8);
    out[8] = static_cast<unsigned char>(auth.dataLength);
    out[9] = static_cast<unsigned char>(auth.dataLength >> 8);
    memcpy(out + 12, auth.name, auth.nameLength);
    memcpy(out + 12 + padded(auth.nameLength), auth.data, auth.dataLength);
    return total;
}

int MillisecondsUntil(SXServerProbe::Deadline deadline) {
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left + 1);
}

// The first byte of the server's answer: 1 success, 0 failed, 2 authenticate. -1 when the
// connection ended first, -2 when nothing came before the deadline.
int FirstAnswerByte(int fd, SXServerProbe::Deadline deadline) {
    for (;;) {
        pollfd wait{fd, POLLIN, 0};
        const int ready = poll(&wait, 1, MillisecondsUntil(deadline));
        if (ready == 0) return -2;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        unsigned char status = 0;
        const ssize_t n = recv(fd, &status, 1, 0);
        if (n == 1) return status;
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        return -1;
    }
}

} // namespace

SXServerProbe::~SXServerProbe() {
    if (fd >= 0) close(fd);
}

SXServerProbe::Answer SXServerProbe::Ask(const char* name, Deadline deadline) {
    const int number = LocalDisplayNumber(name);
    if (number < 0 || fd >= 0) return kUnknown;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) host[0] = 0;
    const SXAuthority auth = SXAuthority::ForLocalDisplay(number, host, nullptr);
    if (auth.kind == SXAuthority::kUnknown) return kUnknown;
    const Reach reach = ConnectLocal(number, &fd);
    if (reach != Reach::kConnected) return reach == Reach::kBusy ? kBusy : kUnknown;
    unsigned char request[12 + SXAuthority::kMaxName + SXAuthority::kMaxData];
    const size_t length = SetupRequest(auth, request, sizeof request);
    const int status =
        length && send(fd, request, length, MSG_NOSIGNAL) == static_cast<ssize_t>(length)
            ? FirstAnswerByte(fd, deadline)
            : -1;
    if (status == 1) return kAccepted;
    close(fd);
    fd = -1;
    if (status == -2) return kSilent;
    return status == -1 ? kBusy : kRefused;
}

} // namespace zell::gui
