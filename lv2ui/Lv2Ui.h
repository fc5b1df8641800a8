// The LV2 UI: the plugin's editor embedded in the window the host gives (ui:parent), editing the
// engine of the plugin instance the host gives access to (instance-access). It runs on the
// toolkit's own X connection, served by the toolkit's event pump, on both architectures: an LV2
// host hands over a window but no display, and no LV2 host dispatches our events for us. The
// user's option edits reach the host as writes of the option ports from the host's idle calls.
#pragma once

#include "SIEditorFactory.h"
#include "SIEditorHost.h"

#include <lv2/ui/ui.h>

#include <memory>
#include <string>

namespace zell::gui {
class SGlobals;
}

namespace ferrovane {
class SIEngine;
class SPluginEditor;
} // namespace ferrovane

namespace ferrovane::lv2 {

class Lv2Ui final : public SIEditorHost {
  public:
    // The host's UI thread. Null when the host gives no instance access, no parent window, or
    // there is no X server to draw on.
    [[nodiscard]] static Lv2Ui* Create(const char* bundlePath, LV2UI_Write_Function write,
                                       LV2UI_Controller controller, LV2UI_Widget* widget,
                                       const LV2_Feature* const* features);
    ~Lv2Ui() override;
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    // The host's UI thread, regularly: writes the option ports the user changed since the last
    // call, so that the host records them and marks its session as modified. Always 0.
    int Idle();

    SPluginEditor* Editor() const { return editor.get(); }

    // The editor's host.
    void HostStrings(char* vendor, char* product) override;
    int HostVersion() override;
    bool HostSizesWindow() override;
    bool RequestWindowSize(int width, int height) override;
    void ReportEditorSize(int width, int height) override;
    const char* EffectName() override;
    const char* Directory() override;
    const char* FormatNotice() override;

  private:
    Lv2Ui(SIEngine& engine, const char* bundlePath, LV2UI_Write_Function write,
          LV2UI_Controller controller, const LV2_Feature* const* features);
    // With the host's ui:scaleFactor, 0 for none.
    [[nodiscard]] bool Open(void* parent, LV2UI_Widget* widget, float scaleFactor);

    SIEngine& engine;
    std::string directory;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Resize* resize;
    const LV2UI_Touch* touch;
    SGlobalsHandle globals;
    std::unique_ptr<SPluginEditor> editor;
};

} // namespace ferrovane::lv2
