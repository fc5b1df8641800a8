#include "SFolderItem.h"

#include "ExactCompare.h"

namespace zell::file {

int SFolderItem::SFileCompare(void* a, void* b) {
    if (!a || !b) return 0;
    const auto* x = static_cast<const SFolderItem*>(a);
    const auto* y = static_cast<const SFolderItem*>(b);
    if (x->kind != y->kind) return x->kind < y->kind ? -1 : 1;
    return data::ExactCompare(x->name.Text(), y->name.Text(), -3);
}

void SFolderItem::Release() {
    object.reset();
}

} // namespace zell::file
