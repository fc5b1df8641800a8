// The X types that the public headers of the toolkit and the drawing layer name, without Xlib:
// the connection, events and graphics contexts as opaque records, resource ids as the integer
// type Xlib uses for them. They are Xlib's own types, so sources that use Xlib pass them on as
// they are.
#pragma once

struct _XDisplay;
union _XEvent;
struct _XGC;

namespace zell::gui {

// A window, pixmap, drawable, atom, cursor or font id (Xlib's XID).
using XId = unsigned long;

} // namespace zell::gui
