// A socket bound where a local X server's would be (/tmp/.X11-unix/X<n>, the first n free from
// a given number on), for tests that stand in for a server: one that listens, or the file a
// server left behind when it ended. Closed and removed with the object.
#pragma once

#include <cstdio>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class DisplaySocket {
  public:
    explicit DisplaySocket(int first) : fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        for (int number = first; fd >= 0 && number < first + 100; ++number) {
            sockaddr_un address = Address(number);
            if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                path = address.sun_path;
                char display[16]; // built in place: GCC 12 warns wrongly on ":" + std::to_string
                snprintf(display, sizeof display, ":%d", number);
                name = display;
                return;
            }
        }
    }
    ~DisplaySocket() {
        if (fd >= 0) close(fd);
        if (!path.empty()) unlink(path.c_str());
    }
    DisplaySocket(const DisplaySocket&) = delete;
    DisplaySocket& operator=(const DisplaySocket&) = delete;

    bool Ok() const { return !name.empty(); }
    int Fd() const { return fd; }
    // ":N", a display name for Xlib.
    const std::string& Name() const { return name; }

    // The socket file of display :number.
    static sockaddr_un Address(int number) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        snprintf(address.sun_path, sizeof address.sun_path, "/tmp/.X11-unix/X%d", number);
        return address;
    }

  private:
    const int fd;
    std::string path, name;
};
