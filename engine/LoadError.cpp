#include "LoadError.h"

#include "Product.h"

#include <cstdio>

namespace ferrovane {

void LoadFailureText(char* out, size_t size, int code, bool haveObject, const char* hostName) {
    const char* head = "Failed to load plugin\n(Reason: ";
    if (code == kSystemNotSupported)
        snprintf(out, size, "%sSystem not supported\nPlease check the requirements)", head);
    else if (code == kHostNotSupported && haveObject)
        snprintf(out, size, "%sHost not supported (%s))", head, hostName);
    else
        snprintf(out, size, "%sInternal Error\nPlease report to \n%s)", head, kSupportAddress);
}

} // namespace ferrovane
