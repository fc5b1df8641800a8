#include "HostApp.h"

namespace ferrovane {

const char* HostAppName(int code) {
    static const char* const names[kHostCount] = {
        "(unknown)",  "Sonar",     "Energy XT", "Project 5",     "FL Studio",
        "Cantabile",  "SaviHost",  "Melodyne",  "Cubase/Nuendo", "Cubase4/Nuendo4",
        "Samplitude", "Tracktion", "Phrazor",   "Usine",
    };
    if (code < 0 || code >= kHostCount) return names[kHostUnknown];
    return names[code];
}

} // namespace ferrovane
