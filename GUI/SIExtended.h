#pragma once

namespace zell::gui {

// The common base of every toolkit control.
class SIExtended {
  public:
    SIExtended() = default;
    virtual ~SIExtended() = default;
    SIExtended(const SIExtended&) = delete;
    SIExtended& operator=(const SIExtended&) = delete;
};

} // namespace zell::gui
