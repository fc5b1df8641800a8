// edit: the plugin's editor in a window of the stand-in host, until the window is closed.
#include "ChunkFile.h"
#include "Commands.h"

#include "HostWindow.h"
#include "VstHost.h"

#include <cstdio>
#include <cstdlib>

namespace ferrovane::host {

constexpr OptionSpec kEditOptions[] = {
    {"--bank", "FILE", false},
    {"--save-bank", "FILE", false},
    {"--seconds", "S", false},
};

const CommandSpec kEditCommand = {"edit", "", kEditOptions,
                                  "The editor stays until its window is closed, or S seconds.\n",
                                  EditCommand};

int EditCommand(const std::vector<std::string>& args) {
    Arguments a;
    if (const int status = ReadArguments(kEditCommand, args, a)) return status;
    const std::string loadBank = a.Value("--bank"), saveBank = a.Value("--save-bank");
    // Without --seconds, until the window is closed.
    const double seconds = a.Has("--seconds") ? std::atof(a.Value("--seconds").c_str()) : -1.0;
    // The window's loop hands events to a 32-bit plugin's published event procedure.
    HostWindow window(307, 425, true);
    if (!window.Ok()) return Fail("no X display");
    VstHost host;
    if (!host.Load(a.plugin)) return Fail(host.Error());
    if (!host.Instantiate()) return Fail("the plugin refused to load");
    host.Start();
    std::string error;
    if (!loadBank.empty() && !LoadChunk(host, loadBank, true, error)) return Fail(error);
    if (!window.OpenEditor(host)) return Fail("the plugin has no editor");
    // The editor idle is where a plugin tells the host about the user's edits.
    window.WaitForClose(seconds, [&] { window.Exclusive([&] { host.Dispatch(effEditIdle); }); });
    window.CloseEditor(host);
    if (!saveBank.empty() && !SaveChunk(host, saveBank, true, error)) return Fail(error);
    host.Unload();
    return 0;
}

} // namespace ferrovane::host
