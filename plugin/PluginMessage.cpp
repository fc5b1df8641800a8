#include "PluginMessage.h"

#include <cstdio>
#include <cstring>

namespace ferrovane {

// Without a message box the text goes to standard error, one line per message line.
void ShowPluginMessage(const char* text) {
    if (!text) return;
    const char* line = text;
    while (true) {
        const char* end = strchr(line, '\n');
        size_t n = end ? static_cast<size_t>(end - line) : strlen(line);
        fprintf(stderr, "Ferrovane: %.*s\n", static_cast<int>(n), line);
        if (!end) break;
        line = end + 1;
    }
}

} // namespace ferrovane
