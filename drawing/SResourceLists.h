// Typed holders of pens, brushes and fonts. The plain lists only hold pointers; the ...Owned
// lists also delete every element with the list.
//
// A list takes no lock. The process's drawing resources (SStaticData) own the only lists and
// fill and search them under their own lock, from any instance's GUI threads; they are
// destroyed at unload, after the toolkit has stopped whatever still draws and while the
// connection they were made on is still open (LoadTimeSetup.cpp). Nothing deletes a list
// through its base.
#pragma once

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

template <typename T> class SResourceListOwned : public SResourceList<T> {
  public:
    ~SResourceListOwned() override {
        for (T* item : this->items)
            delete item;
    }
};

using SPenList = SResourceList<SDrawPen>;
using SBrushList = SResourceList<SDrawBrush>;
using SFontList = SResourceList<SDrawFont>;
using SPenListOwned = SResourceListOwned<SDrawPen>;
using SBrushListOwned = SResourceListOwned<SDrawBrush>;
using SFontListOwned = SResourceListOwned<SDrawFont>;

} // namespace zell::gui::context
