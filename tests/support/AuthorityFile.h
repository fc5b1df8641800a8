// X authority files written by the test: for a server started with "-auth FILE", which then
// refuses every client that does not present the cookie, and for clients (XAUTHORITY).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

class AuthorityFile {
  public:
    static constexpr unsigned kLocal = 256;
    static constexpr unsigned kWild = 65535;

    struct Entry {
        unsigned family;
        std::string address;
        std::string number; // empty: any display
        std::string name;
        std::string data;
    };

    AuthorityFile() {
        char pattern[] = "/tmp/ferrovane-auth-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) {
            close(fd);
            path = pattern;
        }
    }
    ~AuthorityFile() {
        if (!path.empty()) unlink(path.c_str());
    }
    AuthorityFile(const AuthorityFile&) = delete;
    AuthorityFile& operator=(const AuthorityFile&) = delete;

    // A random MIT-MAGIC-COOKIE-1 for every display of every host.
    static Entry AnyDisplayCookie() {
        std::string cookie;
        for (int i = 0; i < 16; ++i)
            cookie += static_cast<char>(rand());
        return {kWild, "", "", "MIT-MAGIC-COOKIE-1", cookie};
    }

    bool Write(const std::vector<Entry>& entries) {
        FILE* f = path.empty() ? nullptr : fopen(path.c_str(), "wb");
        if (!f) return false;
        auto put16 = [&](size_t v) {
            fputc(static_cast<int>((v >> 8) & 0xFF), f);
            fputc(static_cast<int>(v & 0xFF), f);
        };
        auto field = [&](const std::string& s) {
            put16(s.size());
            fwrite(s.data(), 1, s.size(), f);
        };
        for (const Entry& e : entries) {
            put16(e.family);
            field(e.address);
            field(e.number);
            field(e.name);
            field(e.data);
        }
        return fclose(f) == 0;
    }

    const std::string& Path() const { return path; }

  private:
    std::string path;
};
