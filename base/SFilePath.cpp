#include "SFilePath.h"

#include <cstring>

namespace zell::file {

namespace {

// Length of the extension as GetExtension defines it.
int ExtensionLength(const char* path) {
    int length = static_cast<int>(strlen(path));
    if (length < 2 || SFilePath::IsSeparator(path[length - 1])) return 0;
    for (int i = length - 1; i >= 0 && !SFilePath::IsSeparator(path[i]); --i)
        if (path[i] == '.') return length - 1 - i;
    return 0;
}

} // namespace

void SFilePath::GetExtension(char* out, const char* path, int* length) {
    if (!path) return;
    int n = ExtensionLength(path);
    if (out) {
        memcpy(out, path + strlen(path) - n, n);
        out[n] = 0;
    }
    if (length) *length = n;
}

void SFilePath::GetDir(char* out, const char* path, int extLength) {
    if (!out || !path) return;
    if (extLength < 0) extLength = ExtensionLength(path);
    int length = static_cast<int>(strlen(path));
    if (length == 0 || length < extLength + 2) return;
    if (extLength == 0 && IsSeparator(path[length - 1])) {
        memcpy(out, path, length + 1);
        return;
    }
    int i = extLength > 0 ? length - extLength - 2 : length - 1;
    int nameLength = 0;
    while (i >= 0 && path[i] && !IsSeparator(path[i]) && nameLength < kMaxName) {
        ++nameLength;
        --i;
    }
    // No separator before the name, the separator is the first character, or the name is too long.
    if (i <= 0 || nameLength >= kMaxName) {
        out[0] = 0;
        return;
    }
    int cut = extLength > 0 ? length - extLength - 1 - nameLength : length - nameLength;
    memcpy(out, path, cut);
    out[cut] = 0;
}

void SFilePath::GetName(char* out, const char* path, char* ext, int extLength) {
    if (!path || !*path) return;
    if (extLength < 0) extLength = ExtensionLength(path);
    if (ext) GetExtension(ext, path, nullptr);
    if (!out) return;
    int length = static_cast<int>(strlen(path));
    int end = extLength > 0 ? length - extLength - 1 : length;
    if (end < 0) end = 0;
    int start = end;
    while (start > 0 && !IsSeparator(path[start - 1]))
        --start;
    memcpy(out, path + start, end - start);
    out[end - start] = 0;
}

void SFilePath::GetPathData(char* dir, char* name, char* ext, const char* path) {
    if (!path || !*path) return;
    int extLength = ExtensionLength(path);
    if (dir) {
        dir[0] = 0;
        GetDir(dir, path, extLength);
    }
    GetName(name, path, ext, extLength);
}

} // namespace zell::file
