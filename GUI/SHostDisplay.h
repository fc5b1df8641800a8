// What the editor's open does with the display the host hands over. Free of X headers: the
// plugin core calls it.
#pragma once

namespace zell::gui {

// On i386 the toolkit adopts the host's display (the first one given), so that hosts which call
// _XEventProc dispatch the editor's events. A 64-bit address does not survive that property, so
// elsewhere the toolkit keeps to its own connection, and opens it now, to the display the host's
// one names (or to "DISPLAY"), when the load found no X server. True when the toolkit has a
// connection afterwards.
bool AdoptHostDisplay(void* hostDisplay);

} // namespace zell::gui
