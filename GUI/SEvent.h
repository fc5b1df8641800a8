// The toolkit's notification record and the per-type listener tables a control keeps.
#pragma once

#include <vector>

namespace zell::threading {
class SMutexID;
}

namespace zell::gui {

class SControl;

// Event types with a sender in this program.
enum SEventType {
    kEventValue = 3,       // a value changed or a control was clicked
    kEventTimer = 9,       // a control timer ticked
    kEventConnection = 10, // the routing matrix changed a connection; a folder listing ended
    kEventTypes = 13,
};

// What the payload of an event is.
enum SEventKind { kKindValue = 1, kKindData = 4 };

struct SEvent {
    int time = 0; // clock() ticks when sent
    int type = -1;
    int kind = 0;
    int value = 0;
    float fvalue = 0.0f;
    SControl* sender = nullptr;
    threading::SMutexID* mutex = nullptr;
    void* data = nullptr; // not owned
};

class SEventHandler {
  public:
    // Appends unless present; null listeners are ignored.
    void Add(SControl* listener);
    void Remove(SControl* listener);
    const std::vector<SControl*>& Listeners() const { return listeners; }

    int type = 0;
    bool enabled = false;

  private:
    std::vector<SControl*> listeners;
};

class SEventManager {
  public:
    SEventManager();
    // Null for a type outside 0 to 12.
    SEventHandler* Handler(int type);
    const SEventHandler* Handler(int type) const;

  private:
    SEventHandler handlers[kEventTypes];
};

} // namespace zell::gui
