// ferrovane-host: try the plugin without a DAW.
#include "Commands.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Usage() {
    fprintf(
        stderr,
        "usage: ferrovane-host info PLUGIN.so\n"
        "       ferrovane-host route PLUGIN.so IN.mid OUT.mid [--block FRAMES] [--rate HZ]\n"
        "             [--bank FILE] [--program FILE] [--save-bank FILE] [--save-program FILE]\n"
        "             [--connect IN:OUT]... [--disconnect IN:OUT]... [--quiet]\n"
        "       ferrovane-host edit PLUGIN.so [--bank FILE] [--save-bank FILE] [--seconds S]\n"
        "             The editor stays until its window is closed, or S seconds.\n"
        "       ferrovane-host live PLUGIN.so [--bank FILE] [--program N] [--name NAME]\n"
        "             [--no-editor] [--connect-in PORT]... [--connect-out PORT]... [--seconds S]\n"
        "             A JACK client until Ctrl+C, the editor's window closes, or S seconds.\n"
        "             The bank: FILE, else $XDG_CONFIG_HOME/ferrovane/bank.fxb\n"
        "             (~/.config/ferrovane/bank.fxb); programs are numbered 1 to 128.\n"
        "       Chunk files ending in .fxb/.fxp are VST preset files; others hold the raw chunk.\n"
        "       Channels are numbered 1 to 16.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string command = argv[1];
    if (command == "info" && argc == 3) return ferrovane::host::InfoCommand(argv[2]);
    if (command == "route") return ferrovane::host::RouteCommand({argv + 2, argv + argc});
    if (command == "edit" || command == "live") {
        const std::vector<std::string> args(argv + 2, argv + argc);
        int result = command == "edit" ? ferrovane::host::EditCommand(args)
                                       : ferrovane::host::LiveCommand(args);
        return result == 2 ? Usage() : result;
    }
    return Usage();
}
