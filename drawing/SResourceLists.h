// Typed holders of pens, brushes and fonts. The plain lists only hold pointers; the ...Owned
// lists own their elements, which go with the list.
//
// A list takes no lock. The process's drawing resources (SStaticData) own the only lists and
// fill and search them under their own lock, from any instance's GUI threads; they are
// destroyed at unload, after the toolkit has stopped whatever still draws and while the
// connection they were made on is still open (LoadTimeSetup.cpp).
#pragma once

#include <memory>
#include <vector>

namespace zell::gui::context {

class SDrawPen;
class SDrawBrush;
class SDrawFont;

template <typename T> class SResourceList {
  public:
    SResourceList() = default;
    SResourceList(const SResourceList&) = delete;
    SResourceList& operator=(const SResourceList&) = delete;
    virtual ~SResourceList() = default;

    std::vector<T*> items;
};

template <typename T> class SResourceListOwned {
  public:
    SResourceListOwned() = default;
    SResourceListOwned(const SResourceListOwned&) = delete;
    SResourceListOwned& operator=(const SResourceListOwned&) = delete;

    // Keeps the item and answers it.
    T* Add(std::unique_ptr<T> item) {
        items.push_back(std::move(item));
        return items.back().get();
    }

    std::vector<std::unique_ptr<T>> items;
};

using SPenList = SResourceList<SDrawPen>;
using SBrushList = SResourceList<SDrawBrush>;
using SFontList = SResourceList<SDrawFont>;
using SPenListOwned = SResourceListOwned<SDrawPen>;
using SBrushListOwned = SResourceListOwned<SDrawBrush>;
using SFontListOwned = SResourceListOwned<SDrawFont>;

} // namespace zell::gui::context
