#include "Commands.h"

#include "VstHost.h"

#include <cstdio>
#include <string>

namespace ferrovane::host {

namespace {

std::string FourCC(VstInt32 code) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
    return s;
}

std::string Text(VstHost& host, VstInt32 opcode, VstInt32 index = 0) {
    char buffer[256] = {};
    host.Dispatch(opcode, index, 0, buffer);
    return buffer;
}

void PrintFlags(VstInt32 flags) {
    static const struct {
        VstInt32 bit;
        const char* name;
    } names[] = {
        {effFlagsHasEditor, "HasEditor"},
        {effFlagsHasClip, "HasClip"},
        {effFlagsHasVu, "HasVu"},
        {effFlagsCanMono, "CanMono"},
        {effFlagsCanReplacing, "CanReplacing"},
        {effFlagsProgramChunks, "ProgramChunks"},
        {effFlagsIsSynth, "IsSynth"},
        {effFlagsNoSoundInStop, "NoSoundInStop"},
        {effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
    };
    printf("flags: 0x%X", static_cast<unsigned>(flags));
    for (const auto& n : names)
        if (flags & n.bit) printf(" %s", n.name);
    printf("\n");
}

} // namespace

const CommandSpec kInfoCommand = {"info", "", {}, "", InfoCommand};

int InfoCommand(const std::vector<std::string>& args) {
    Arguments a;
    if (const int status = ReadArguments(kInfoCommand, args, a)) return status;
    VstHost host;
    if (!host.Load(a.plugin)) return Fail("cannot load " + a.plugin + ": " + host.Error());
    AEffect* e = host.Instantiate();
    if (!e) return Fail(a.plugin + " refused to load");
    printf("magic: '%s'\n", FourCC(e->magic).c_str());
    printf("uniqueID: '%s' (0x%08X)\n", FourCC(e->uniqueID).c_str(),
           static_cast<unsigned>(e->uniqueID));
    printf("version: %d\n", e->version);
    printf("programs: %d\nparameters: %d\ninputs: %d\noutputs: %d\n", e->numPrograms, e->numParams,
           e->numInputs, e->numOutputs);
    PrintFlags(e->flags);
    printf("initialDelay: %d\nioRatio: %g\n", e->initialDelay, e->ioRatio);
    host.Dispatch(effOpen);
    printf("category: %d\n", static_cast<int>(host.Dispatch(effGetPlugCategory)));
    printf("effect name: %s\n", Text(host, effGetEffectName).c_str());
    printf("product: %s\n", Text(host, effGetProductString).c_str());
    printf("vendor: %s\n", Text(host, effGetVendorString).c_str());
    printf("vendor version: %d\n", static_cast<int>(host.Dispatch(effGetVendorVersion)));
    printf("VST version: %d\n", static_cast<int>(host.Dispatch(effGetVstVersion)));
    ERect* rect = nullptr;
    if (host.Dispatch(effEditGetRect, 0, 0, &rect) && rect)
        printf("editor: %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
    for (VstInt32 i = 0; i < e->numParams; ++i)
        printf("parameter %d: %s = %s%s\n", i, Text(host, effGetParamName, i).c_str(),
               Text(host, effGetParamDisplay, i).c_str(), Text(host, effGetParamLabel, i).c_str());
    for (VstInt32 i = 0; i < e->numPrograms; ++i) {
        char name[256] = {};
        host.Dispatch(effGetProgramNameIndexed, i, 0, name);
        printf("program %d: %s\n", i, name);
    }
    static const char* const abilities[] = {
        "sendVstEvents",      "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
        "receiveVstTimeInfo", "offline",          "midiProgramNames", "bypass",
    };
    for (const char* ability : abilities) {
        std::string text = ability;
        printf("canDo %s: %d\n", ability,
               static_cast<int>(host.Dispatch(effCanDo, 0, 0, text.data())));
    }
    host.Dispatch(effClose);
    return 0;
}

} // namespace ferrovane::host
