#include "SXAuthority.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace zell::gui {

namespace {

// The authority file's families: this machine by host name, and any address at all.
constexpr unsigned kFamilyLocal = 256;
constexpr unsigned kFamilyWild = 65535;
constexpr char kCookieName[] = "MIT-MAGIC-COOKIE-1";
constexpr char kXdmName[] = "XDM-AUTHORIZATION-1";

// One field of an entry: a big-endian 16-bit length and that many bytes. Longer fields than the
// buffer are skipped and count as matching nothing.
struct Field {
    static constexpr size_t kCapacity = 256;
    unsigned char bytes[kCapacity] = {};
    size_t length = 0;
    bool whole = true;

    bool Is(const char* text, size_t n) const {
        return whole && length == n && memcmp(bytes, text, n) == 0;
    }
};

bool ReadShort(FILE* f, unsigned* value) {
    unsigned char two[2];
    if (fread(two, 1, 2, f) != 2) return false;
    *value = static_cast<unsigned>(two[0]) << 8 | two[1];
    return true;
}

bool ReadField(FILE* f, Field* field) {
    unsigned length = 0;
    if (!ReadShort(f, &length)) return false;
    field->length = length;
    field->whole = length <= Field::kCapacity;
    if (field->whole) return fread(field->bytes, 1, length, f) == length;
    return fseek(f, static_cast<long>(length), SEEK_CUR) == 0;
}

struct Entry {
    unsigned family = 0;
    Field address, number, name, data;
};

bool ReadEntry(FILE* f, Entry* e) {
    return ReadShort(f, &e->family) && ReadField(f, &e->address) && ReadField(f, &e->number) &&
           ReadField(f, &e->name) && ReadField(f, &e->data);
}

// Where Xlib looks: XAUTHORITY as it is, else .Xauthority in the home folder.
std::string AuthorityFile() {
    if (const char* named = getenv("XAUTHORITY")) return named;
    const char* home = getenv("HOME");
    if (!home) return {};
    return std::string(home) + (home[0] && home[1] ? "/" : "") + ".Xauthority";
}

} // namespace

SXAuthority SXAuthority::ForLocalDisplay(int number, const char* hostName, const char* file) {
    SXAuthority found;
    const std::string path = file ? file : AuthorityFile();
    const std::unique_ptr<FILE, int (*)(FILE*)> opened(
        path.empty() ? nullptr : fopen(path.c_str(), "rbe"), &fclose);
    FILE* f = opened.get();
    if (!f) return found;
    char display[16];
    const size_t displayLength =
        static_cast<size_t>(snprintf(display, sizeof display, "%d", number));
    const size_t hostLength = hostName ? strlen(hostName) : 0;
    Entry e;
    while (ReadEntry(f, &e)) {
        const bool here = e.family == kFamilyWild || (e.family == kFamilyLocal && hostName &&
                                                      e.address.Is(hostName, hostLength));
        if (!here || (e.number.length != 0 && !e.number.Is(display, displayLength))) continue;
        if (e.name.Is(kXdmName, sizeof kXdmName - 1)) {
            found.kind = kUnknown;
            break;
        }
        if (found.kind != kNone || !e.name.Is(kCookieName, sizeof kCookieName - 1) ||
            e.data.length > kMaxData || !e.data.whole)
            continue;
        found.kind = kCookie;
        memcpy(found.name, kCookieName, sizeof kCookieName - 1);
        found.nameLength = sizeof kCookieName - 1;
        memcpy(found.data, e.data.bytes, e.data.length);
        found.dataLength = static_cast<uint16_t>(e.data.length);
    }
    return found;
}

} // namespace zell::gui
