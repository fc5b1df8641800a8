// The X extensions the toolkit speaks to itself: SHAPE for round tooltips and XINERAMA for the
// monitors. Their major opcodes are asked with the core protocol once per connection, all in one
// round trip, and the toolkit makes their few requests itself rather than through libXext and
// libXinerama: those hook themselves into the connection (event and error converters, work at
// its close), and a host's display would go on calling into them after the plugin is unloaded.
// Any thread.
#pragma once

struct _XDisplay;

namespace zell::gui {

class SXExtensions {
  public:
    static constexpr const char* kShape = "SHAPE";
    static constexpr const char* kXinerama = "XINERAMA";

    // The extension's major opcode on the connection; 0 when the server lacks it (or there is
    // no connection).
    static int Opcode(_XDisplay* display, const char* name);
    // Forgets a connection before it is given back or closed.
    static void Forget(_XDisplay* display);
};

} // namespace zell::gui
