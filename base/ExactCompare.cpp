#include "ExactCompare.h"

#include <cstdint>
#include <locale>
#include <mutex>
#include <stdexcept>
#include <strings.h>

namespace zell::data {

namespace {

std::once_flag localeinit;
std::locale loc;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of the digit run at s, saturated so that absurdly long runs still order sensibly.
int64_t DigitRunValue(const char* s) {
    constexpr int64_t kLimit = INT64_MAX / 10 - 256;
    int64_t value = 0;
    for (; IsDigit(*s); ++s)
        value = value >= kLimit ? kLimit : value * 10 + (*s - '0');
    return value;
}

int64_t Key(const char* s, int mode, const std::ctype<char>& facet) {
    if (IsDigit(*s)) {
        if (mode == 15) return 256 + DigitRunValue(s);
        if (mode == -5) return 256 + *s;
        return *s;
    }
    return static_cast<signed char>(facet.tolower(*s));
}

int Walk(const char* a, const char* b, int mode) {
    InitLocale();
    const auto& facet = std::use_facet<std::ctype<char>>(loc);
    for (;; ++a, ++b) {
        if (!*a) return *b ? -1 : 0;
        if (!*b) return 1;
        int64_t ka = Key(a, mode, facet);
        int64_t kb = Key(b, mode, facet);
        if (ka != kb) return ka > kb ? 1 : -1;
    }
}

} // namespace

void InitLocale() {
    std::call_once(localeinit, [] {
        try {
            loc = std::locale("");
        } catch (const std::runtime_error&) {
            loc = std::locale();
        }
    });
}

int ExactCompare(const char* a, const char* b, int mode) {
    if (a == b) return 0;
    if (!a) return -1;
    if (!b) return 1;
    switch (mode) {
    case 15:
    case -5:
    case -1:
    case -3:
        return Walk(a, b, mode);
    default:
        break;
    }
    if (mode >= 0 && mode <= 14 && mode % 2 == 0) return 0;
    return strcasecmp(a, b);
}

} // namespace zell::data
