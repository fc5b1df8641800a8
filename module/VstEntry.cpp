// The exported entry, under both names hosts look for: VSTPluginMain first, then main.
// The module wires the editor into the plugin core here.
#include "PluginEntry.h"
#include "SEditorKit.h"

extern "C" __attribute__((visibility("default"))) AEffect*
VSTPluginMain(audioMasterCallback audioMaster) {
    try {
        ferrovane::SetEditorFactory(&ferrovane::SEditorKit::Instance());
        return ferrovane::CreatePlugin(audioMaster);
    } catch (...) {
        return nullptr;
    }
}

// `main` may not be declared with this signature in C++, so the second name is an alias made
// under its assembler name.
extern "C" __attribute__((visibility("default"), alias("VSTPluginMain"))) AEffect*
ferrovaneMainAlias(audioMasterCallback audioMaster) __asm__("main");
