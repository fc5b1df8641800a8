#include "SScale.h"

#include "SGlobals.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zell::gui {

namespace {

constexpr int kLargest = 3;
constexpr double kDesktopDpi = 96.0;
constexpr const char kResource[] = "Xft.dpi";

// "1", "2" or "3"; 0 for anything else.
int Forced(const char* text) {
    if (!text || !text[0] || text[1]) return 0;
    return text[0] >= '1' && text[0] <= '3' ? text[0] - '0' : 0;
}

// A whole number from 1 up, larger ones taken as the largest scale; 0 for anything else.
int WholeScale(const char* text) {
    if (!text || !*text) return 0;
    int value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return 0;
        value = std::min(value * 10 + (*c - '0'), kLargest + 1);
    }
    return value >= 1 ? std::min(value, kLargest) : 0;
}

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

// The value of one line "name: value", when the line names the resource.
double LineValue(const std::string& line) {
    size_t at = 0;
    while (at < line.size() && Blank(line[at]))
        ++at;
    if (line.compare(at, sizeof kResource - 1, kResource) != 0) return 0;
    at += sizeof kResource - 1;
    while (at < line.size() && Blank(line[at]))
        ++at;
    if (at >= line.size() || line[at] != ':') return 0;
    const std::string value = line.substr(at + 1);
    const char* start = value.c_str();
    char* end = nullptr;
    const double dpi = strtod(start, &end);
    if (end == start) return 0;
    while (Blank(*end))
        ++end;
    return *end == 0 && std::isfinite(dpi) && dpi > 0 ? dpi : 0;
}

void ReportIgnored(const char* text) {
    static std::atomic<bool> reported{false};
    if (reported.exchange(true)) return;
    fprintf(stderr, "Ferrovane: FERROVANE_SCALE \"%s\" is ignored: the scale is 1, 2 or 3.\n",
            text);
}

} // namespace

int ScaleOfFactor(double factor) {
    if (!std::isfinite(factor) || factor <= 0) return 0;
    if (factor < 1.5) return 1;
    return factor < 2.5 ? 2 : kLargest;
}

SScaleChoice ChooseScale(const SScaleSources& s) {
    SScaleChoice choice;
    const bool forcedSet = s.forced && *s.forced;
    int scale = Forced(s.forced);
    choice.forcedIgnored = forcedSet && !scale;
    if (!scale) scale = ScaleOfFactor(s.hint);
    if (!scale) scale = WholeScale(s.gdk);
    if (!scale) scale = ScaleOfFactor(s.dpi / kDesktopDpi);
    choice.scale = scale ? scale : 1;
    return choice;
}

double XftDpi(const char* resources, size_t length) {
    if (!resources) return 0;
    double dpi = 0;
    std::string line;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && resources[i] != '\n' && resources[i] != 0) {
            line += resources[i];
            continue;
        }
        // The last one set wins, as in Xlib's resource database.
        const double value = LineValue(line);
        if (value > 0) dpi = value;
        line.clear();
    }
    return dpi;
}

int DesktopScale(_XDisplay* display, float hint) {
    SScaleSources sources;
    sources.forced = getenv("FERROVANE_SCALE");
    sources.hint = hint;
    sources.gdk = getenv("GDK_SCALE");
    // The resources Xlib read from the server as it opened the connection.
    const char* resources = display ? XResourceManagerString(display) : nullptr;
    sources.dpi = XftDpi(resources, resources ? strlen(resources) : 0);
    const SScaleChoice choice = ChooseScale(sources);
    if (choice.forcedIgnored) ReportIgnored(sources.forced);
    return choice.scale;
}

int SettleScale(SGlobals* globals) {
    if (!globals) return 1;
    if (globals->ScaleSettled()) return globals->Scale();
    _XDisplay* display = InstanceDisplay(globals);
    const int scale = DesktopScale(display, globals->scaleHint);
    if (display) globals->SettleScale(scale);
    return scale;
}

} // namespace zell::gui
