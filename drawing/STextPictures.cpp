#include "STextPictures.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace zell::gui::context {

namespace {

// A connection's pictures; a label whose text keeps changing cannot make the table grow for
// ever: past this many it starts over.
constexpr size_t kMostPictures = 512;

struct Connection {
    Display* display = nullptr;
    std::map<std::pair<Font, std::string>, SMonoImage> pictures;
};

std::mutex tableLock;
std::vector<Connection> connections;

Connection& Of(Display* d) {
    for (Connection& c : connections)
        if (c.display == d) return c;
    connections.push_back(Connection{d, {}});
    return connections.back();
}

} // namespace

bool STextPictures::Find(Display* d, Font font, const std::string& text, SMonoImage& picture) {
    std::lock_guard<std::mutex> hold(tableLock);
    const Connection& c = Of(d);
    auto at = c.pictures.find({font, text});
    if (at == c.pictures.end()) return false;
    picture = at->second;
    return true;
}

void STextPictures::Keep(Display* d, Font font, const std::string& text,
                         const SMonoImage& picture) {
    std::lock_guard<std::mutex> hold(tableLock);
    Connection& c = Of(d);
    if (c.pictures.size() >= kMostPictures) c.pictures.clear();
    c.pictures[{font, text}] = picture;
}

void STextPictures::Forget(Display* d) {
    std::lock_guard<std::mutex> hold(tableLock);
    std::erase_if(connections, [d](const Connection& c) { return c.display == d; });
}

} // namespace zell::gui::context
