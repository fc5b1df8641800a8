// The monitors of the display: from Xinerama, from the window manager's work areas, or by
// cutting one very wide or very tall screen into virtual monitors; and centring on them.
#pragma once

#include "GeometryOps.h"

#include <X11/Xlib.h>

#include <vector>

namespace zell::gui {

class SControl;

struct SDisplayInfo {};

class SDisplay {
  public:
    // The process's display object, built on first use from the toolkit's connection.
    static SDisplay& Instance();

    // Rebuilds the monitor list from the server.
    void AllMonitorRects(Display* display);
    // The first monitor that contains the point (edges inclusive), else the first monitor.
    Rect2 MonitorRect(const Point2& p) const;
    Rect2 MonitorRect(SControl* control) const;
    void CenterOnWindow(SControl* control);
    void CenterOnWindow(SControl* control, const Point2& p);
    void AllMonitorInfos() {}

    const std::vector<Rect2>& Monitors() const { return monitors; }
    int MonitorCount() const { return monitorCount; }
    const Rect2& Bounds() const { return bounds; }
    bool VirtualSplit() const { return virtualSplit; }

    // One plain W x H screen: several virtual monitors when it is much wider or taller than a
    // usual monitor, else the screen itself. True when it was cut.
    static bool SplitScreen(int width, int height, std::vector<Rect2>& out);

  private:
    // False when the server has no active Xinerama.
    [[nodiscard]] bool QueryXinerama(Display* display);
    void QueryWorkAreas(Display* display);

    std::vector<SDisplayInfo> infos;
    std::vector<Rect2> monitors;
    int monitorCount = 0;
    Rect2 bounds{};
    bool virtualSplit = false;
};

} // namespace zell::gui
