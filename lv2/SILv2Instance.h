// What an LV2 UI of ours reaches through the host's instance access: the plugin instance's
// engine. The handle the host holds points at this interface, and the UI may live in another
// shared object than the plugin, so it asks through a virtual call. Free of X headers.
#pragma once

namespace ferrovane {
class SIEngine;
}

namespace ferrovane::lv2 {

class SILv2Instance {
  public:
    virtual SIEngine& Engine() = 0;

  protected:
    ~SILv2Instance() = default;
};

} // namespace ferrovane::lv2
