// A control that holds a value of type T beside its default. Used on the dispatching thread, and
// on the idle thread by the panel's refresh under the interface lock.
#pragma once

namespace zell::gui {

template <typename T> class SIValueHolder {
  public:
    SIValueHolder() = default;
    SIValueHolder(const SIValueHolder&) = delete;
    SIValueHolder& operator=(const SIValueHolder&) = delete;
    virtual ~SIValueHolder() = default;

    // Stores v when it differs; true when the value changed. The base tells nobody.
    virtual bool SetValue(T v, bool) {
        if (v == value) return false;
        value = v;
        return true;
    }
    virtual T GetValue() { return value; }
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual T GetValueDef() { return defaultValue; }
    virtual bool ResetValue() { return SetValue(defaultValue, true); }
    virtual void SetValueDef(T v) { defaultValue = v; }

  protected:
    T value{};
    T defaultValue{};
};

} // namespace zell::gui
