// The editor's whole surface: the logo, the action and option buttons, the routing matrix, the
// six filter buttons of the selected node and the info labels, over a background drawn once
// into an off-screen image. Control events become operations on the engine; the editor's
// refreshes make the panel read the engine again. Events are handled on the dispatching thread
// and refreshes on the idle thread, one at a time (both hold the instance's interface lock).
#pragma once

#include "SWindow.h"

#include <memory>
#include <vector>

namespace zell::gui {
template <bool> class SButton;
template <bool> class SLabel;
class SImageLabel;
class SToolTip;
namespace context {
class SDrawBitmap;
class SDrawFont;
class SDrawMemoryDevice;
} // namespace context
} // namespace zell::gui

namespace ferrovane {

class SButtonMatrix;
class SIEngine;
class SPluginEditor;
struct VSTPluginProgram;

class SPluginPanel : public zell::gui::SWindow {
  public:
    using Button = zell::gui::SButton<false>;
    using Label = zell::gui::SLabel<false>;
    static constexpr int kFilters = 6;

    SPluginPanel(zell::gui::SGlobals* globals, zell::gui::SControl* parent, unsigned id,
                 const char* title, int style, int x, int y, int width, int height,
                 int parentWindow, bool unused);
    ~SPluginPanel() override;

    // Builds the children once; the editor calls it on the host's GUI thread at the panel's
    // first open (effEditOpen), under the interface lock.
    void LoadControls() override;
    // Dispatching thread, as the events below.
    void Draw(const zell::gui::Rect2& rect) override;

    // Dispatching thread.
    void ParseEvent(zell::gui::SEvent* e) override;
    void MouseStateChanged(bool* state, int code) override;

    // Idle thread: -1 reads everything again, any other value one plugin parameter.
    void RefreshControls(long index) override;
    void RefreshSelections();
    void RefreshLabels();
    void RefreshPanel();

    SPluginEditor* editor = nullptr;
    SIEngine* engine = nullptr;
    // The format's line under the logo (SIEditorHost::FormatNotice); null for none.
    const char* notice = nullptr;

    // For the tests and the editor.
    Button* ClearButton() const { return clearButton; }
    Button* ResetButton() const { return resetButton; }
    Button* GridButton() const { return gridButton; }
    Button* PresetSwitchButton() const { return presetSwitchButton; }
    Button* CopyButton() const { return copyButton; }
    Button* PasteButton() const { return pasteButton; }
    Button* HighlightButton() const { return highlightButton; }
    const std::vector<Button*>& FilterButtons() const { return filterButtons; }
    zell::gui::SToolTip* Tooltip() const { return tooltip.get(); }
    SButtonMatrix* Matrix() const { return matrix; }
    Label* InputInfo() const { return inputInfo; }
    Label* OutputInfo() const { return outputInfo; }
    zell::gui::SImageLabel* TitleLabel() const { return titleLabel; }
    const char* PresetName() const { return presetName; }
    const zell::gui::Rect2& TitleArea() const { return titleArea; }
    // The node label of the filter box: "[ None ]" or the selected node.
    void NodeLabel(char* text, int size) const;
    zell::gui::context::SDrawMemoryDevice* PanelDevice() const { return panelDevice.get(); }

  private:
    Button* MakeButton(int row);
    void MakeFilterButtons();
    void RunAction(int parameter);
    void MakeMatrix();
    void BindMatrix();
    void RestoreSelection();
    bool SelectedNode(int& input, int& output) const;
    void DeselectNode();
    void ToggleFilter(int bit);
    void SelectionChanged();
    void SetOption(Button* button, int parameter);
    // The option buttons and the matrix settings that follow them, read from the engine.
    void ShowGridOption();
    void ShowHighlightOption();
    void DrawBackground();
    void DrawVariableParts();
    void DrawFilterBox();

    Button* clearButton = nullptr;
    Button* resetButton = nullptr;
    Button* gridButton = nullptr;
    Button* presetSwitchButton = nullptr;
    Button* copyButton = nullptr;
    Button* pasteButton = nullptr;
    Button* highlightButton = nullptr;
    std::vector<Button*> filterButtons;
    std::unique_ptr<zell::gui::SToolTip> tooltip;
    SButtonMatrix* matrix = nullptr;
    Label* inputInfo = nullptr;
    Label* outputInfo = nullptr;
    char presetName[64] = {};
    zell::gui::Rect2 titleArea{};
    zell::gui::SImageLabel* titleLabel = nullptr;
    std::unique_ptr<zell::gui::context::SDrawBitmap> panelBitmap;
    std::unique_ptr<zell::gui::context::SDrawMemoryDevice> panelDevice;
    // The program the matrix shows, bound at the last refresh. A click edits it, selection and
    // filters with its connection, even when the host has switched programs since: the next
    // refresh shows the new one.
    VSTPluginProgram* shownProgram = nullptr;
};

} // namespace ferrovane
