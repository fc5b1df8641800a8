// The pixels of colours in the default colormap of screen 0 of a connection, each found once
// per connection and colour. On a TrueColor visual a pixel is worked out from the visual, as the
// server's allocation works it out, without asking the server; on other visuals (DirectColor
// included: its colormap holds nothing in cells not allocated) the colours not known yet are
// allocated together, one round trip for all of them. Free of X headers. Any thread.
#pragma once

struct _XDisplay;

namespace zell::gui {

// A colour asked for, 16 bits a component; FindColours fills in the rest.
struct SColourCell {
    unsigned short red = 0, green = 0, blue = 0; // on return: what the colormap holds
    unsigned long pixel = 0;
    bool found = false; // false where the colormap had no room: pixel stays 0
};

// Allocations are made in the order of the cells, so that on a colormap that fills up the same
// colours get room as when they are allocated one by one.
void FindColours(_XDisplay* display, SColourCell* cells, int count);

// The colours the colormap holds for the cells' pixels: worked out where pixels are, else asked
// for in one round trip.
void QueryColours(_XDisplay* display, SColourCell* cells, int count);

// True when the connection's pixels are worked out rather than allocated.
bool ColoursWorkedOut(_XDisplay* display);

// What was found on a connection is forgotten before it is given back or closed.
void ForgetColours(_XDisplay* display);

} // namespace zell::gui
