#include "ProcText.h"

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zell::system {

int ReadOnce(const char* path, char* buffer, int size) {
    if (!path || !buffer || size < 1) return -1;
    buffer[0] = 0;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    ssize_t got = read(fd, buffer, static_cast<size_t>(size - 1));
    close(fd);
    if (got < 0) return -1;
    buffer[got] = 0;
    return static_cast<int>(got);
}

double ParseDecimal(const char* s) {
    if (!s) return 0;
    while (*s == ' ' || *s == '\t')
        ++s;
    double value = 0;
    for (; *s >= '0' && *s <= '9'; ++s)
        value = value * 10 + (*s - '0');
    if (*s != '.') return value;
    double scale = 0.1;
    for (++s; *s >= '0' && *s <= '9'; ++s, scale /= 10)
        value += (*s - '0') * scale;
    return value;
}

const char* FindLine(const char* text, const char* key) {
    if (!text || !key) return nullptr;
    size_t length = strlen(key);
    for (const char* line = text; line && *line;) {
        if (strncmp(line, key, length) == 0) return line;
        line = strchr(line, '\n');
        if (line) ++line;
    }
    return nullptr;
}

} // namespace zell::system
