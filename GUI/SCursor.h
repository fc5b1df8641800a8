// The pointer shape the editor and message dialogs install on their top window: a black-outlined
// orange arrow. The dispatcher sets it on entry and removes it on leave.
#pragma once

#include "XHandles.h"

namespace zell::gui {

class SCursor {
  public:
    SCursor() = default;
    SCursor(const SCursor&) = delete;
    SCursor& operator=(const SCursor&) = delete;
    virtual ~SCursor();

    virtual void Set();
    virtual void Free();
    // The arrow, each of its pixels a square of side `scale`.
    void CreateDefault(int scale = 1);

    XId window = 0; // set by the owner
    XId cursor = 0;

  private:
    _XDisplay* display = nullptr; // where the cursor was made
};

} // namespace zell::gui
