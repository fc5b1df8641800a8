// The generic plugin layer: owns the editor and a mutex for the editor's open state, answers the
// editor opcodes, the product strings and canDo, and keeps the suspended state.
#pragma once

#include "AudioEffectX.h"
#include "SMutexOS.h"
#include "datastring.h"

#include <atomic>
#include <cstdint>

namespace zell::gui {
class SGlobals;
}

namespace ferrovane {

class SIEditorFactory;
class SIPluginEditor;

constexpr const char* kProductName = "Ferrovane";
constexpr const char* kVendorDomain = "www.ferrovane.org";
constexpr const char* kSupportAddress = "support@ferrovane.org";
constexpr VstInt32 kVendorVersion = 101;
constexpr VstInt32 kUniqueID = vstFourCC("FRVa");

class SPlugin : public AudioEffectX {
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
    SIPluginEditor* Editor() const { return pluginEditor; }
    // The size reported to the host; the editor writes it.
    ERect& EditorRect() { return editorRect; }

    const zell::data::datastring<32, char>* EffectName() const { return effectNameString; }
    const zell::data::datastring<32, char>* Directory() const { return directoryString; }
    zell::gui::SGlobals* Globals() const { return globals; }

    // Editor side: the editor flips this when its window opens and closes.
    void SetEditorClosed(bool closed);
    // Editor side, any thread: the user changed a parameter, or state that only the chunk holds.
    // The host hears of it on its own GUI thread (see TellHost), never from processing.
    void UserChangedParameter(VstInt32 index);
    void UserChangedState();
    // Host GUI thread (the editor's idle and close opcodes): tells the host of the user's
    // changes since the last call, so that it counts its session as modified.
    void TellHost();

    // Host processing thread.
    void suspend() override;
    void resume() override;
    bool IsSuspended() const;

  protected:
    // Closes the editor's window and stops its event handling, for the plugin's destructor.
    void ShutdownEditor();
    // Tell an open editor about a program-level change, or about one parameter.
    void NotifyEditor();
    void NotifyEditorIndexed(VstInt32 index);

    bool editorClosed = true; // guarded by pluginMutex
    bool suspended = true;    // relaxed: written by suspend/resume, read by processing
    SIPluginEditor* pluginEditor = nullptr; // made by the editor factory, when there is one
    ERect editorRect{0, 0, 425, 307};
    zell::gui::SGlobals* globals = nullptr; // made by the editor factory with the editor
    zell::data::datastring<32, char>* effectNameString = nullptr;
    zell::data::datastring<32, char>* directoryString = nullptr;
    zell::threading::SMutexOS pluginMutex;

  private:
    bool EditorOpen();
    SIEditorFactory* editorFactory; // the one that made the editor and the globals
    // Bit i: parameter i changed; kStateChanged: the chunk did. Raised by the editor, taken by
    // TellHost.
    static constexpr uint32_t kStateChanged = 1u << 31;
    std::atomic<uint32_t> userChanges{0};
    struct EditorOpcodes;
};

} // namespace ferrovane
