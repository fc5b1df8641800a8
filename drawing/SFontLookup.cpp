#include "SFontLookup.h"

#include "Owner.h"
#include "SXReplyBatch.h"
#include "SXRequestScope.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui::context {

namespace {

// Frees a description allocated as Xlib allocates its own.
struct FreeFontCopy {
    void operator()(XFontStruct* f) const {
        free(static_cast<gsl::owner<XCharStruct*>>(f->per_char));
        free(static_cast<gsl::owner<XFontProp*>>(f->properties));
        free(static_cast<gsl::owner<XFontStruct*>>(f));
    }
};
using FontCopy = std::unique_ptr<XFontStruct, FreeFontCopy>;

struct Connection {
    Display* display = nullptr;
    std::map<std::string, bool> listed;
    std::map<std::string, std::vector<std::string>> listings;
    std::map<std::string, FontCopy> described; // fid 0
};

constexpr CARD16 kMaxListed = 4000;

// What is left goes when the object is unloaded.
struct Table {
    std::vector<Connection> connections;
};

// Never held across a request.
std::mutex tableLock;
Table table;

Connection& Of(Display* d) {
    for (Connection& c : table.connections)
        if (c.display == d) return c;
    table.connections.push_back(Connection{d, {}, {}, {}});
    return table.connections.back();
}

size_t CharCount(const XFontStruct& f) {
    if (!f.per_char) return 0;
    return static_cast<size_t>(f.max_char_or_byte2 - f.min_char_or_byte2 + 1) *
           static_cast<size_t>(f.max_byte1 - f.min_byte1 + 1);
}

// A copy allocated as Xlib allocates its own, so that XFreeFont and XFreeFontInfo free it.
FontCopy Copy(const XFontStruct& from, Font fid) {
    FontCopy to(static_cast<XFontStruct*>(malloc(sizeof(XFontStruct))));
    if (!to) return nullptr;
    *to = from;
    to->ext_data = nullptr;
    to->fid = fid;
    to->per_char = nullptr;
    to->properties = nullptr;
    const size_t chars = CharCount(from), props = static_cast<size_t>(from.n_properties);
    if (chars) {
        gsl::owner<XCharStruct*> perChar =
            static_cast<XCharStruct*>(malloc(chars * sizeof(XCharStruct)));
        to->per_char = perChar;
    }
    if (props) {
        gsl::owner<XFontProp*> properties =
            static_cast<XFontProp*>(malloc(props * sizeof(XFontProp)));
        to->properties = properties;
    }
    if ((chars && !to->per_char) || (props && !to->properties)) return nullptr;
    if (chars) memcpy(to->per_char, from.per_char, chars * sizeof(XCharStruct));
    if (props) memcpy(to->properties, from.properties, props * sizeof(XFontProp));
    return to;
}

XCharStruct Metrics(const xCharInfo& c) {
    return XCharStruct{c.leftSideBearing, c.rightSideBearing, c.characterWidth,
                       c.ascent,          c.descent,          c.attributes};
}

// The description a QueryFont reply gives, as Xlib builds it; null for a short reply.
FontCopy Described(const unsigned char* reply, size_t length) {
    if (length < sizeof(xQueryFontReply)) return nullptr;
    const auto& r = *reinterpret_cast<const xQueryFontReply*>(reply);
    const size_t props = r.nFontProps, chars = r.nCharInfos;
    const size_t need =
        sizeof(xQueryFontReply) + props * sizeof(xFontProp) + chars * sizeof(xCharInfo);
    if (length < need) return nullptr;
    XFontStruct f{};
    f.direction = r.drawDirection;
    f.min_char_or_byte2 = r.minCharOrByte2;
    f.max_char_or_byte2 = r.maxCharOrByte2;
    f.min_byte1 = r.minByte1;
    f.max_byte1 = r.maxByte1;
    f.default_char = r.defaultChar;
    f.all_chars_exist = r.allCharsExist;
    f.ascent = r.fontAscent;
    f.descent = r.fontDescent;
    f.min_bounds = Metrics(r.minBounds);
    f.max_bounds = Metrics(r.maxBounds);
    f.n_properties = static_cast<int>(props);
    std::vector<XFontProp> properties(props);
    const auto* wireProps = reinterpret_cast<const xFontProp*>(reply + sizeof(xQueryFontReply));
    for (size_t i = 0; i < props; ++i)
        properties[i] = XFontProp{wireProps[i].name, wireProps[i].value};
    std::vector<XCharStruct> metrics(chars);
    const auto* wireChars = reinterpret_cast<const xCharInfo*>(wireProps + props);
    for (size_t i = 0; i < chars; ++i)
        metrics[i] = Metrics(wireChars[i]);
    f.properties = props ? properties.data() : nullptr;
    f.per_char = chars ? metrics.data() : nullptr;
    if (chars && chars != CharCount(f)) return nullptr;
    return Copy(f, 0);
}

void AskList(Display* dpy, const std::string& pattern, CARD16 most) {
    xListFontsReq* req;
    GetReq(ListFonts, req);
    req->maxNames = most;
    req->nbytes = static_cast<CARD16>(pattern.size());
    req->length += static_cast<CARD16>((pattern.size() + 3) >> 2);
    SXReplyBatch::Append(dpy, pattern.data(), pattern.size());
}

void ListAll(Display* d, const std::vector<std::string>& names, std::vector<char>& listed) {
    AskTogether(
        d, static_cast<int>(names.size()),
        [&](Display* dpy, int i) { AskList(dpy, names[static_cast<size_t>(i)], 1); },
        [&](int i, const unsigned char* reply, size_t length) {
            if (length >= sizeof(xListFontsReply))
                listed[static_cast<size_t>(i)] =
                    reinterpret_cast<const xListFontsReply*>(reply)->nFonts > 0 ? 1 : 0;
        });
}

// The names of a ListFonts reply: each a length byte and its characters.
std::vector<std::string> NamesIn(const unsigned char* reply, size_t length) {
    std::vector<std::string> names;
    if (length < sizeof(xListFontsReply)) return names;
    const size_t count = reinterpret_cast<const xListFontsReply*>(reply)->nFonts;
    size_t at = sizeof(xListFontsReply);
    while (names.size() < count && at < length) {
        const size_t n = reply[at++];
        if (n > length - at) break;
        names.emplace_back(reinterpret_cast<const char*>(reply + at), n);
        at += n;
    }
    return names;
}

void DescribeAll(Display* d, const std::vector<std::string>& names,
                 std::vector<FontCopy>& described) {
    if (names.empty()) return;
    // Xlib hands out one id per request it locks for; a batch takes all of its ids first.
    std::vector<XID> opened(names.size());
    LockDisplay(d);
    _XAllocIDs(d, opened.data(), static_cast<int>(opened.size()));
    UnlockDisplay(d);
    AskTogether(
        d, static_cast<int>(names.size()),
        [&](Display* dpy, int i) {
            const std::string& name = names[static_cast<size_t>(i)];
            const Font fid = opened[static_cast<size_t>(i)];
            xOpenFontReq* open;
            GetReq(OpenFont, open);
            open->fid = static_cast<CARD32>(fid);
            open->nbytes = static_cast<CARD16>(name.size());
            open->length += static_cast<CARD16>((name.size() + 3) >> 2);
            SXReplyBatch::Append(dpy, name.data(), name.size());
            xResourceReq* query;
            GetResReq(QueryFont, fid, query);
            (void)query;
        },
        [&](int i, const unsigned char* reply, size_t length) {
            described[static_cast<size_t>(i)] = Described(reply, length);
        });
    for (Font fid : opened)
        XUnloadFont(d, fid);
}

void NoteListed(Display* d, const std::string& name, bool listed) {
    std::lock_guard<std::mutex> hold(tableLock);
    Of(d).listed[name] = listed;
}

void NoteDescription(Display* d, const std::string& name, const XFontStruct& info) {
    FontCopy copy = Copy(info, 0);
    if (!copy) return;
    std::lock_guard<std::mutex> hold(tableLock);
    Of(d).described[name] = std::move(copy);
}

} // namespace

void SFontLookup::Prefetch(Display* d, const std::vector<std::vector<std::string>>& fonts) {
    if (!d) return;
    std::vector<std::string> unknown;
    for (const auto& names : fonts)
        for (const std::string& name : names)
            if (Listed(d, name) < 0 &&
                std::find(unknown.begin(), unknown.end(), name) == unknown.end())
                unknown.push_back(name);
    std::vector<char> listed(unknown.size(), 0);
    ListAll(d, unknown, listed);
    for (size_t i = 0; i < unknown.size(); ++i)
        NoteListed(d, unknown[i], listed[i] != 0);
    std::vector<std::string> undescribed;
    for (const auto& names : fonts)
        for (const std::string& name : names) {
            if (Listed(d, name) != 1) continue;
            std::lock_guard<std::mutex> hold(tableLock);
            if (!Of(d).described.count(name) &&
                std::find(undescribed.begin(), undescribed.end(), name) == undescribed.end())
                undescribed.push_back(name);
            break;
        }
    std::vector<FontCopy> described(undescribed.size());
    DescribeAll(d, undescribed, described);
    for (size_t i = 0; i < undescribed.size(); ++i)
        if (described[i]) NoteDescription(d, undescribed[i], *described[i]);
}

void SFontLookup::PrefetchListings(Display* d, const std::vector<std::string>& patterns) {
    if (!d) return;
    std::vector<std::string> unknown;
    {
        std::lock_guard<std::mutex> hold(tableLock);
        const Connection& c = Of(d);
        for (const std::string& pattern : patterns)
            if (!c.listings.count(pattern) &&
                std::find(unknown.begin(), unknown.end(), pattern) == unknown.end())
                unknown.push_back(pattern);
    }
    std::vector<std::vector<std::string>> found(unknown.size());
    AskTogether(
        d, static_cast<int>(unknown.size()),
        [&](Display* dpy, int i) { AskList(dpy, unknown[static_cast<size_t>(i)], kMaxListed); },
        [&](int i, const unsigned char* reply, size_t length) {
            found[static_cast<size_t>(i)] = NamesIn(reply, length);
        });
    std::lock_guard<std::mutex> hold(tableLock);
    Connection& c = Of(d);
    for (size_t i = 0; i < unknown.size(); ++i) {
        for (const std::string& name : found[i])
            c.listed[name] = true;
        c.listings[unknown[i]] = std::move(found[i]);
    }
}

std::vector<std::string> SFontLookup::Listing(Display* d, const std::string& pattern) {
    if (!d) return {};
    PrefetchListings(d, {pattern});
    std::lock_guard<std::mutex> hold(tableLock);
    return Of(d).listings[pattern];
}

int SFontLookup::Listed(Display* d, const std::string& name) {
    std::lock_guard<std::mutex> hold(tableLock);
    const Connection& c = Of(d);
    auto at = c.listed.find(name);
    return at == c.listed.end() ? -1 : at->second ? 1 : 0;
}

XFontStruct* SFontLookup::OpenKnown(Display* d, const std::string& name) {
    FontCopy copy;
    {
        std::lock_guard<std::mutex> hold(tableLock);
        const Connection& c = Of(d);
        auto at = c.described.find(name);
        if (at == c.described.end()) return nullptr;
        copy = Copy(*at->second, 0);
    }
    // A font gone since it was described fails quietly: its description still measures.
    SXRequestScope scope(d);
    if (copy) copy->fid = XLoadFont(d, name.c_str());
    return copy.release(); // Xlib's from here on
}

void SFontLookup::Forget(Display* d) {
    std::lock_guard<std::mutex> hold(tableLock);
    std::erase_if(table.connections, [d](const Connection& c) { return c.display == d; });
}

} // namespace zell::gui::context
