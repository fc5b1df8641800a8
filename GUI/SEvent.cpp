#include "SEvent.h"

#include <algorithm>

namespace zell::gui {

void SEventHandler::Add(SControl* listener) {
    if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void SEventHandler::Remove(SControl* listener) {
    auto at = std::find(listeners.begin(), listeners.end(), listener);
    if (at != listeners.end()) listeners.erase(at);
}

SEventManager::SEventManager() {
    for (int i = 0; i < kEventTypes; ++i)
        handlers[i].type = i;
}

SEventHandler* SEventManager::Handler(int type) {
    return type >= 0 && type < kEventTypes ? &handlers[type] : nullptr;
}

const SEventHandler* SEventManager::Handler(int type) const {
    return type >= 0 && type < kEventTypes ? &handlers[type] : nullptr;
}

} // namespace zell::gui
