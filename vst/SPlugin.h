// The generic layer of the VST 2.x plugin: owns the engine and the editor, answers the editor
// opcodes, the product strings and canDo, tells the host of the user's edits, and keeps the
// suspended state. The editor reaches the host through it.
#pragma once

#include "AEffEditor.h"
#include "AudioEffectX.h"
#include "Product.h"
#include "RoutingEngine.h"
#include "SIEditorFactory.h"
#include "SIEditorHost.h"
#include "datastring.h"

#include <cstdint>
#include <memory>

namespace zell::gui {
class SGlobals;
}

namespace ferrovane {

constexpr VstInt32 kUniqueID = vstFourCC("FRVa");

class SPlugin : public AudioEffectX, public SIEditorHost {
  public:
    SPlugin(audioMasterCallback audioMaster, int& loadError);
    ~SPlugin() override;

    // Host GUI thread.
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return kVendorVersion; }
    VstInt32 getVstVersion() override { return 2300; }
    VstInt32 canDo(char* text) override;
    bool getInputProperties(VstInt32, void*) override { return false; }
    bool getOutputProperties(VstInt32, void*) override { return false; }
    void open() override {}
    void close() override {}

    // The display name of the host the editor recognised; empty without an editor.
    const char* PluginHostName() const;
    SIPluginEditor* Editor() const { return pluginEditor.get(); }
    RoutingEngine& Engine() { return engine; }
    zell::gui::SGlobals* Globals() const { return globals.get(); }

    // Host GUI thread (the editor's idle and close opcodes): tells the host of the user's
    // changes since the last call, so that it counts its session as modified.
    void TellHost();

    // The editor's host.
    void HostStrings(char* vendor, char* product) override;
    int HostVersion() override;
    bool HostSizesWindow() override;
    bool RequestWindowSize(int width, int height) override;
    void ReportEditorSize(int width, int height) override;
    const char* EffectName() override;
    const char* Directory() override;
    const char* FormatNotice() override;

    // Host processing thread.
    void suspend() override;
    void resume() override;
    bool IsSuspended() const;

  protected:
    // The engine comes first: the editor is made with a reference to it.
    RoutingEngine engine;

  private:
    // Closes the editor's window and stops its event handling before the engine goes.
    void ShutdownEditor();

    bool suspended = true; // relaxed: written by suspend/resume, read by processing
    std::unique_ptr<SIPluginEditor> pluginEditor; // made by the editor factory, when there is one
    // What the SDK's editor slot holds while there is an editor: the opcodes the plugin does
    // not answer itself (keys, knob mode) get the SDK's answers.
    AEffEditor sdkEditor{this};
    ERect editorRect{0, 0, 425, 307};
    SGlobalsHandle globals; // made by the editor factory with the editor
    std::unique_ptr<zell::data::datastring<32, char>> effectNameString;
    std::unique_ptr<zell::data::datastring<32, char>> directoryString;
    SIEditorFactory* editorFactory; // the one that made the editor and the globals
    struct EditorOpcodes;
};

} // namespace ferrovane
