// The authorization an X client of this machine presents to a local display: what Xlib finds
// for it in the authority file (XAUTHORITY, else ~/.Xauthority). Free of X headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zell::gui {

class SXAuthority {
  public:
    static constexpr size_t kMaxName = 32;
    static constexpr size_t kMaxData = 64;

    enum Kind {
        kNone,    // no entry applies: the client presents nothing
        kCookie,  // a MIT-MAGIC-COOKIE-1 entry applies: name and data hold it
        kUnknown, // an entry of a kind only Xlib can compute (XDM-AUTHORIZATION-1) would win
    };

    // The entry for local display `number` on the host `hostName`, picked as Xlib picks it:
    // entries match by family (this host, or any host) and display number (the same, or any);
    // an XDM-AUTHORIZATION-1 entry anywhere wins over the first matching MIT-MAGIC-COOKIE-1 one.
    // `file` null: the file Xlib reads. A file that cannot be read holds no entry.
    static SXAuthority ForLocalDisplay(int number, const char* hostName, const char* file);

    Kind kind = kNone;
    char name[kMaxName] = {};
    uint16_t nameLength = 0;
    uint8_t data[kMaxData] = {};
    uint16_t dataLength = 0;
};

} // namespace zell::gui
