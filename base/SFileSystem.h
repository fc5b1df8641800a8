#pragma once

namespace zell::file {

// Questions about the file system that holds a path.
class SFileSystem {
  public:
    // The name of the file system's type ("unknown" for an unlisted one) into out, which must
    // hold 16 bytes. A failing statfs gives "unknown (error)" and false.
    static bool GetFileSystem(const char* path, char* out);
    // Total and user-available bytes; 0 on success, else the errno of statfs with both at 0.
    static int GetDriveSpace(const char* path, long long& total, long long& free);
    // out must hold 2 bytes.
    static void Root(char* out);
    // The HOME variable ("" when unset) into out, which must hold size bytes; longer texts
    // are cut.
    static void Home(char* out, unsigned int size);
};

} // namespace zell::file
