// ferrovane-host: try the plugin without a DAW.
#include "Program.h"

int main(int argc, char** argv) {
    return ferrovane::host::RunProgram({argv + 1, argv + argc});
}
