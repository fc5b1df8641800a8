// ferrovane-host: try the plugin without a DAW.
#include "Commands.h"

#include <cstdio>
#include <string>

namespace {

int Usage() {
    fprintf(stderr, "usage: ferrovane-host info PLUGIN.so\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string command = argv[1];
    if (command == "info" && argc == 3) return ferrovane::host::InfoCommand(argv[2]);
    return Usage();
}
