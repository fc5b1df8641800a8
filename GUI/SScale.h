// How many screen pixels the editor draws for one pixel of its layout: 1, 2 or 3. The first
// source that says something usable decides:
//  1. the FERROVANE_SCALE environment variable: "1", "2" or "3" (anything else is reported once
//     on standard error and passed over; an empty one says nothing);
//  2. the host's own hint, where the plugin format has one (LV2's ui:scaleFactor);
//  3. the GDK_SCALE environment variable, as GTK desktops set it: a whole number from 1 up;
//  4. the desktop's Xft.dpi resource on the X server (xrdb);
//  5. else 1.
// Factors and resolutions round as desktops round them: a factor of 1.5 (144 dpi) and above
// is 2, 2.5 (240 dpi) and above is 3, and larger ones stay 3. Free of X headers.
#pragma once

#include <cstddef>

struct _XDisplay;

namespace zell::gui {

class SGlobals;

// What each source says, as it says it; null or 0 where it says nothing.
struct SScaleSources {
    const char* forced = nullptr; // FERROVANE_SCALE
    float hint = 0.0f;            // the host's
    const char* gdk = nullptr;    // GDK_SCALE
    double dpi = 0.0;             // Xft.dpi
};

struct SScaleChoice {
    int scale = 1;
    // FERROVANE_SCALE held something other than 1, 2 or 3.
    bool forcedIgnored = false;
};

[[nodiscard]] SScaleChoice ChooseScale(const SScaleSources& sources);

// The scale of a factor, 1 to 3; 0 for a factor that is not a number above 0.
[[nodiscard]] int ScaleOfFactor(double factor);

// The value of the Xft.dpi resource in the text of a resource database ("Xft.dpi:\t192" on a
// line of its own); 0 where there is none, or none that is a number above 0.
[[nodiscard]] double XftDpi(const char* resources, size_t length);

// The scale this process's environment and the display's desktop ask for, with the host's hint
// (0 for none), reading the desktop's resources as Xlib read them when it opened the display:
// no round trip. A FERROVANE_SCALE that is passed over is reported once per process.
[[nodiscard]] int DesktopScale(_XDisplay* display, float hint);

// The instance's scale, settled on its first call with a display (the instance's): its
// windows are then made at it. Before there is a display it answers what the environment and
// the host say, without settling. Host GUI thread.
int SettleScale(SGlobals* globals);

} // namespace zell::gui
