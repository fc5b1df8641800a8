// The plugin's editor object. It places the panel in the window the host hands over, parks the
// panel in a hidden window of its own while the host's window is closed, turns the engine's
// update requests into panel refreshes on the toolkit's idle thread, keeps the size reported
// to the host and recognises the host application. It knows no plugin format: it edits the engine
// through SIEngine and asks the host through SIEditorHost. Free of X headers: a format module
// owns it.
#pragma once

#include "GeometryOps.h"
#include "SIPluginEditor.h"

#include <cstdint>
#include <memory>

namespace zell::gui {
class SControl;
class SCursor;
class SGlobals;
class SMessageDialog;
} // namespace zell::gui

namespace ferrovane {

class SIEditorHost;
class SIEngine;
class SPluginPanel;

class SPluginEditor : public SIPluginEditor {
  public:
    static constexpr int kWidth = 307;
    static constexpr int kHeight = 425;
    static constexpr int kUpdateSlots = 256;

    // Asks the host who it is; a refused host sets loadError to 3. The engine and the host
    // outlive the editor.
    SPluginEditor(SIEngine* engine, SIEditorHost* host, zell::gui::SGlobals* globals,
                  int& loadError);
    ~SPluginEditor() override;

    // Host GUI thread. A host may destroy its window, and the panel with it, before it closes
    // the editor (or instead): the close then only forgets the panel, and the next open builds
    // it again from the engine's state.
    void open(void* parent) override;
    void close() override;
    // Settles the editor's scale (SScale.h) and reports its size at that scale to the host, as
    // a host asks before it opens the editor's window.
    void AnnounceSize() override;
    // Ends every use of the engine before it is taken apart: closes the window and takes the
    // panel out of event dispatch. The editor stays closed afterwards.
    void Shutdown() override;
    // Toolkit idle thread.
    void idle();
    void update();
    void updateIndexed();
    void updateAtIndex(intptr_t index);
    // Any thread: they only raise flags for the next idle pass.
    void postUpdate() override;
    void postUpdateIndexed(intptr_t index) override;
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void idleslow();

    // The idle thread's entry; its data is the editor's idle link (see below).
    static void idlestatic(void* link);

    // Sizes in the layout's pixels; the host is told them, and its window sized, at the
    // editor's scale.
    void SetSize(int width, int height);
    void Resize(int width, int height);
    void ChangeSize(int dx, int dy);
    // The panel's size, in the layout's pixels; empty without a panel.
    zell::gui::Rect2 GetRect() const;
    // The scale the editor draws at: 1 until it is settled.
    int Scale() const;
    void GetHostApp(int& loadError);

    int HostApp() const override { return hostApp; }
    bool IsOpen() const;
    SPluginPanel* Panel() const { return panel.get(); }
    zell::gui::SControl* ParkingControl() const { return parkingControl.get(); }
    zell::gui::SMessageDialog* MessageDialog() const { return messageDialog.get(); }
    int HostWindow() const { return hostWindow; }
    int ParkingWindow() const { return parkingWindow; }
    bool UpdatePending() const;
    bool IndexedUpdatePending() const;
    bool UpdateRequested(int index) const;

  private:
    // What the idle thread reaches the editor through, and all it may still be inside when the
    // editor ends: a pass stuck in it then (blocked on a display the host holds) finds no
    // editor, and the link passes to one owner that frees it once no pass is inside it.
    struct IdleLink;

    void CreateParking();
    void CreatePanel();
    bool PanelGone();
    void DiscardPanel();
    // The host's side of a size of the layout: in the screen's pixels.
    void ReportSize(int width, int height);
    void ResizeHostWindow(int width, int height);
    void RequestHostSize(int width, int height);

    std::unique_ptr<IdleLink> idleLink; // holds idleEntry
    uint32_t idleId = 0;
    zell::gui::SGlobals* globals;
    std::unique_ptr<SPluginPanel> panel;
    SIEngine* engine;
    SIEditorHost* host;
    int hostApp = 0;
    int updateFlag = 0;           // relaxed: raised by any thread, lowered by the idle pass
    int indexedUpdatePending = 0; // relaxed, as updateFlag
    bool isOpen = false;          // relaxed: written on the host's thread, read by the idle pass
    int reportedWidth = kWidth;   // the size reported to the host, in the layout's pixels
    int reportedHeight = kHeight;
    std::unique_ptr<zell::gui::SCursor> cursor;
    int hostWindow = 0;
    std::unique_ptr<zell::gui::SControl> parkingControl;
    std::unique_ptr<zell::gui::SMessageDialog> messageDialog;
    int parkingWindow = 0;
    uint8_t updateFlags[kUpdateSlots] = {}; // relaxed, as indexedUpdatePending
};

} // namespace ferrovane
