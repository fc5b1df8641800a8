#pragma once

#include "SISerializable.h"
#include "datalist.h"

#include <memory>

namespace zell::file::archive {

// A list of data blocks and their total size. The archive keeps only each block's size: Save
// and Load size the buffer for all blocks and hand each block its place in it, but copy no
// bytes and touch no file.
class SArchive {
  public:
    // Takes ownership of buffer (an array from new[], or null); size is the starting total.
    SArchive(char* buffer, int size);
    SArchive(const SArchive&) = delete;
    SArchive& operator=(const SArchive&) = delete;

    // Appends a block of size bytes; a negative size, or one that would take the total past
    // the largest int, is refused.
    [[nodiscard]] bool AddData(const char* data, int size);
    [[nodiscard]] bool AddObject(const object::SISerializable& object);
    [[nodiscard]] bool Save(const char* name);
    [[nodiscard]] bool Load(const char* name);

    int TotalSize() const { return total; }
    int Blocks() const { return blocks.Count(); }
    const char* Buffer() const { return buffer.get(); }

  private:
    [[nodiscard]] bool AddBlock(int size);
    [[nodiscard]] bool Allocate();

    data::datalist<object::SISerializable, 0> blocks;
    std::unique_ptr<char[]> buffer;
    int total;
};

} // namespace zell::file::archive
