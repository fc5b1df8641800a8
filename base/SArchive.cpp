#include "SArchive.h"

#include <climits>
#include <new>

namespace zell::file::archive {

SArchive::SArchive(char* buffer, int size) : buffer(buffer), total(size > 0 ? size : 0) {}

SArchive::~SArchive() {
    delete[] buffer;
}

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
    char* fresh = new (std::nothrow) char[total > 0 ? total : 1]();
    if (!fresh) return false;
    delete[] buffer;
    buffer = fresh;
    return true;
}

bool SArchive::Save(const char* name) {
    if (!name || !Allocate()) return false;
    int offset = 0;
    for (auto* node = blocks.Head(); node; node = node->next) {
        node->value.Serialize(buffer + offset);
        offset += node->value.Size();
    }
    return true;
}

bool SArchive::Load(const char* name) {
    if (!name || !Allocate()) return false;
    int offset = 0;
    for (auto* node = blocks.Head(); node; node = node->next) {
        node->value.Deserialize(buffer + offset);
        offset += node->value.Size();
    }
    return true;
}

} // namespace zell::file::archive
