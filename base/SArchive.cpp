#include "SArchive.h"

#include <climits>
#include <memory>
#include <new>

namespace zell::file::archive {

SArchive::SArchive(char* buffer, int size) : buffer(buffer), total(size > 0 ? size : 0) {}

bool SArchive::AddBlock(int size) {
    if (size < 0 || size > INT_MAX - total) return false;
    blocks.Append(object::SISerializable(size, -1));
    total += size;
    return true;
}

bool SArchive::AddData(const char* data, int size) {
    return data && AddBlock(size);
}

bool SArchive::AddObject(const object::SISerializable& object) {
    return AddBlock(object.Size());
}

bool SArchive::Allocate() {
    std::unique_ptr<char[]> fresh(new (std::nothrow) char[total > 0 ? total : 1]());
    if (!fresh) return false;
    buffer = std::move(fresh);
    return true;
}

bool SArchive::Save(const char* name) {
    if (!name || !Allocate()) return false;
    int offset = 0;
    for (auto* node = blocks.Head(); node; node = node->next.get()) {
        node->value.Serialize(buffer.get() + offset);
        offset += node->value.Size();
    }
    return true;
}

bool SArchive::Load(const char* name) {
    if (!name || !Allocate()) return false;
    int offset = 0;
    for (auto* node = blocks.Head(); node; node = node->next.get()) {
        node->value.Deserialize(buffer.get() + offset);
        offset += node->value.Size();
    }
    return true;
}

} // namespace zell::file::archive
