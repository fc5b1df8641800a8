#include "SColourCache.h"

#include "STrueColourRule.h"
#include "SXReplyBatch.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui {

namespace {

struct Connection {
    Display* display = nullptr;
    bool workedOut = false;
    STrueColourVisual visual;
    std::unordered_map<uint64_t, SColourCell> known;
};

// Held only while the table is read or written, never across a request: a thread that holds
// the display's lock may be looking a colour up meanwhile.
std::mutex tableLock;
std::vector<Connection> connections;

uint64_t Key(const SColourCell& c) {
    return static_cast<uint64_t>(c.red) << 32 | static_cast<uint64_t>(c.green) << 16 | c.blue;
}

Connection& Of(Display* d) {
    for (Connection& c : connections)
        if (c.display == d) return c;
    Connection c;
    c.display = d;
    const Visual* v = DefaultVisual(d, 0);
    c.visual = {v->red_mask, v->green_mask, v->blue_mask, v->bits_per_rgb, DefaultDepth(d, 0)};
    // A DirectColor colormap holds nothing in the cells nobody allocated: there the server must
    // allocate.
    c.workedOut = v->c_class == TrueColor && c.visual.Usable();
    connections.push_back(c);
    return connections.back();
}

// The colours' allocations, sent together; cells the server refused stay not found.
void Allocate(Display* d, std::vector<SColourCell>& cells) {
    const Colormap map = DefaultColormap(d, 0);
    AskTogether(
        d, static_cast<int>(cells.size()),
        [&](Display* dpy, int i) {
            const SColourCell& c = cells[static_cast<size_t>(i)];
            xAllocColorReq* req;
            GetReq(AllocColor, req);
            req->cmap = static_cast<CARD32>(map);
            req->red = c.red;
            req->green = c.green;
            req->blue = c.blue;
        },
        [&](int i, const unsigned char* reply, size_t length) {
            if (length < sizeof(xAllocColorReply)) return;
            const auto* r = reinterpret_cast<const xAllocColorReply*>(reply);
            SColourCell& c = cells[static_cast<size_t>(i)];
            c.pixel = r->pixel;
            c.red = r->red;
            c.green = r->green;
            c.blue = r->blue;
            c.found = true;
        });
}

// The colours of the cells' pixels, in one request.
void Query(Display* d, SColourCell* cells, int count) {
    AskTogether(
        d, 1,
        [&](Display* dpy, int) {
            xQueryColorsReq* req;
            GetReq(QueryColors, req);
            req->cmap = static_cast<CARD32>(DefaultColormap(dpy, 0));
            req->length += static_cast<CARD16>(count);
            std::vector<CARD32> pixels(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i)
                pixels[static_cast<size_t>(i)] = static_cast<CARD32>(cells[i].pixel);
            SXReplyBatch::Append(dpy, pixels.data(), 4 * pixels.size());
        },
        [&](int, const unsigned char* reply, size_t length) {
            for (int i = 0; i < count && 32 + 8 * static_cast<size_t>(i + 1) <= length; ++i) {
                const auto* rgb =
                    reinterpret_cast<const xrgb*>(reply + 32 + 8 * static_cast<size_t>(i));
                cells[i].red = rgb->red;
                cells[i].green = rgb->green;
                cells[i].blue = rgb->blue;
                cells[i].found = true;
            }
        });
}

} // namespace

void QueryColours(Display* d, SColourCell* cells, int count) {
    if (!d || count <= 0) return;
    STrueColourVisual visual;
    {
        std::lock_guard<std::mutex> hold(tableLock);
        const Connection& c = Of(d);
        if (c.workedOut) visual = c.visual;
    }
    if (!visual.Usable()) return Query(d, cells, count);
    for (int i = 0; i < count; ++i)
        visual.Held(cells[i]);
}

void FindColours(Display* d, SColourCell* cells, int count) {
    if (!d || count <= 0) return;
    std::vector<int> missing;
    std::vector<SColourCell> asked;
    {
        std::lock_guard<std::mutex> hold(tableLock);
        Connection& c = Of(d);
        for (int i = 0; i < count; ++i) {
            auto at = c.known.find(Key(cells[i]));
            if (at != c.known.end()) {
                cells[i] = at->second;
                continue;
            }
            const SColourCell wanted = cells[i];
            if (c.workedOut) {
                c.visual.WorkOut(cells[i]);
                c.known[Key(wanted)] = cells[i];
                continue;
            }
            missing.push_back(i);
            asked.push_back(wanted);
        }
    }
    if (missing.empty()) return;
    std::vector<SColourCell> answers = asked;
    Allocate(d, answers);
    std::lock_guard<std::mutex> hold(tableLock);
    Connection& c = Of(d);
    for (size_t k = 0; k < missing.size(); ++k) {
        cells[missing[k]] = answers[k];
        // A refusal is not kept: the colormap may have room later.
        if (answers[k].found) c.known[Key(asked[k])] = answers[k];
    }
}

bool ColoursWorkedOut(Display* d) {
    if (!d) return false;
    std::lock_guard<std::mutex> hold(tableLock);
    return Of(d).workedOut;
}

void ForgetColours(Display* d) {
    std::lock_guard<std::mutex> hold(tableLock);
    std::erase_if(connections, [d](const Connection& c) { return c.display == d; });
}

} // namespace zell::gui
