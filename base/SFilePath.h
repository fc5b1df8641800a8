#pragma once

namespace zell::file {

// Path functions on NUL-terminated paths; '/' and '\\' both separate components. Every output
// buffer must hold at least strlen(path) + 1 bytes. Null or empty input writes nothing.
class SFilePath {
  public:
    // The characters after the last '.' of the last component, and their count.
    static void GetExtension(char* out, const char* path, int* length);
    // The directory part with its trailing separator. extLength < 0 measures the extension.
    static void GetDir(char* out, const char* path, int extLength);
    // The last component's base name without extension, and the extension.
    static void GetName(char* out, const char* path, char* ext, int extLength);
    static void GetPathData(char* dir, char* name, char* ext, const char* path);
    static bool ValidLength(int length, int minimum) {
        return length >= 1 && length >= minimum + 2;
    }
    static void GetModulePath(int, char*) {}

    static bool IsSeparator(char c) { return c == '/' || c == '\\'; }
    // The longest file name GetDir looks back over.
    static constexpr int kMaxName = 128;
};

} // namespace zell::file
