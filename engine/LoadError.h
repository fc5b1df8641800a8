// Why a format module refuses to make a plugin; the editor's host check sets the third.
#pragma once

#include <cstddef>

namespace ferrovane {

enum LoadError : int {
    kLoadOk = 0,
    kSystemNotSupported = 2, // the machine is below the requirements
    kHostNotSupported = 3,   // the editor refused the host
    kRefuseSilently = 4,     // no message at all
};

// "Failed to load plugin\n(Reason: ...)" for a load-error code; hostName names a refused host.
void LoadFailureText(char* out, size_t size, int code, bool haveObject, const char* hostName);

} // namespace ferrovane
