// Why the entry refuses to make a plugin; the editor's host check sets the third.
#pragma once

namespace ferrovane {

enum LoadError : int {
    kLoadOk = 0,
    kSystemNotSupported = 2, // the machine is below the requirements
    kHostNotSupported = 3,   // the editor refused the host
    kRefuseSilently = 4,     // no message at all
};

} // namespace ferrovane
