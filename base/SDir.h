#pragma once

#include "datastring.h"

#include <dirent.h>

namespace zell::file {

class SFolderTree;

// A directory stream and its current entry. Entry reads skip "." and ".."; names starting
// with '.' are read only when hidden is true.
class SDir {
  public:
    using Text = data::datastring<32, char>;

    SDir() = default;
    SDir(const SDir&) = delete;
    SDir& operator=(const SDir&) = delete;
    ~SDir() { Close(); }

    [[nodiscard]] bool Open(const char* path);
    void Close();
    void Rewind();
    // Opens path instead of the current directory, creating it first when create is true.
    [[nodiscard]] bool Change(const char* path, bool create);
    static bool Exists(const char* path);

    [[nodiscard]] bool ReadFirst(bool hidden, Text& entry);
    [[nodiscard]] bool ReadNext(bool hidden, Text& entry);
    // Reads from the start to the first entry whose base name and extension match; a null
    // name or extension matches any.
    [[nodiscard]] bool Find(bool hidden, const char* name, const char* extension);
    // mkdir with the given mode bits.
    [[nodiscard]] static bool Create(const char* path, int mode);
    // Adds the open directory's entries to tree and returns how many; with depth > 0 each
    // subfolder's entries go into a tree of its own, depth - 1 levels deep. Symbolic links are
    // not followed. Stops early when the calling SThread is asked to stop.
    int Traverse(SFolderTree* tree, int depth, bool hidden);

    bool IsOpen() const { return stream != nullptr; }
    const Text& Path() const { return path; }
    const Text& Current() const { return current; }

  private:
    static int KindOf(const char* full);

    DIR* stream = nullptr;
    Text path;
    Text current;
};

} // namespace zell::file
