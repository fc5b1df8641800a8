// edit: the plugin's editor in a window of the stand-in host, until the window is closed.
#include "ChunkFile.h"
#include "Commands.h"

#include "HostWindow.h"
#include "VstHost.h"

#include <cstdio>
#include <cstdlib>

namespace ferrovane::host {

namespace {

struct Options {
    std::string plugin, loadBank, saveBank;
    double seconds = -1.0; // until the window is closed
};

bool Parse(const std::vector<std::string>& args, Options& o) {
    if (args.empty()) return false;
    o.plugin = args[0];
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) return false;
        const std::string& v = args[++i];
        if (a == "--bank")
            o.loadBank = v;
        else if (a == "--save-bank")
            o.saveBank = v;
        else if (a == "--seconds")
            o.seconds = std::atof(v.c_str());
        else
            return false;
    }
    return true;
}

} // namespace

int EditCommand(const std::vector<std::string>& args) {
    Options o;
    if (!Parse(args, o)) return 2;
    // The window's loop hands events to a 32-bit plugin's published event procedure.
    HostWindow window(307, 425, true);
    if (!window.Ok()) return Fail("no X display");
    VstHost host;
    if (!host.Load(o.plugin)) return Fail(host.Error());
    if (!host.Instantiate()) return Fail("the plugin refused to load");
    host.Start();
    std::string error;
    if (!o.loadBank.empty() && !LoadChunk(host, o.loadBank, true, error)) return Fail(error);
    if (!window.OpenEditor(host)) return Fail("the plugin has no editor");
    // The editor idle is where a plugin tells the host about the user's edits.
    window.WaitForClose(o.seconds, [&] { window.Exclusive([&] { host.Dispatch(effEditIdle); }); });
    window.CloseEditor(host);
    if (!o.saveBank.empty() && !SaveChunk(host, o.saveBank, true, error)) return Fail(error);
    host.Unload();
    return 0;
}

} // namespace ferrovane::host
