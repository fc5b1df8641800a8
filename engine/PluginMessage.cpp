#include "PluginMessage.h"

#include "SIEditorFactory.h"

#include <cstdio>
#include <cstring>

namespace ferrovane {

namespace {

void PrintLines(const char* text) {
    const char* line = text;
    while (true) {
        const char* end = strchr(line, '\n');
        size_t n = end ? static_cast<size_t>(end - line) : strlen(line);
        fprintf(stderr, "Ferrovane: %.*s\n", static_cast<int>(n), line);
        if (!end) break;
        line = end + 1;
    }
}

} // namespace

// Standard error always gets the text, one line per message line: it is all there is without
// an X server, and what a host's log keeps. With a server the message box shows it too.
void ShowPluginMessage(const char* text) {
    if (!text) return;
    PrintLines(text);
    SIEditorFactory* factory = EditorFactory();
    if (!factory) return;
    try {
        factory->ShowMessage(text);
    } catch (...) {
        // Out of memory for the box: the host must not see it, and the text is on stderr.
    }
}

} // namespace ferrovane
