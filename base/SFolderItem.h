#pragma once

#include "SISerializable.h"
#include "datastring.h"
#include "datatree.h"

#include <memory>

namespace zell::file {

// An entry of a folder tree. Copies share the object; the tree that holds a copy lets its share
// go (Release), and the object goes with the last copy.
class SFolderItem {
  public:
    enum Kind { kFolder = 0, kFile = 1, kOther = 2 };

    SFolderItem() = default;
    SFolderItem(int kind, const char* name, std::shared_ptr<object::SISerializable> object = {})
        : object(std::move(object)), kind(kind), name(name) {}

    // Orders by kind, then by name ignoring case; null items compare equal.
    static int SFileCompare(void* a, void* b);
    void Release();

    std::shared_ptr<object::SISerializable> object;
    int kind = kFile;
    data::datastring<32, char> name;
    int index = 0;
};

// The items of one folder in SFileCompare order. A subfolder's own tree, when listed, is the
// object of its item.
class SFolderTree : public data::datatree<SFolderItem>, public object::SISerializable {
  public:
    SFolderTree() : datatree(SFolderItem::SFileCompare) {}
};

} // namespace zell::file
