// A routing matrix shown on the test's own connection with every node bound to a routing word of
// the test, real pointer events through XTest, and a listener that keeps every event it sent.
#pragma once

#include "ControlsHarness.h" // GoogleTest before Xlib
#include "GuiHarness.h"

#include "SButtonMatrix16.h"
#include "SStaticData.h"

#include <X11/keysym.h>

#include <cstdint>
#include <ostream>

// How the failures print them; found next to the types.
namespace zell::math::geom {
inline std::ostream& operator<<(std::ostream& o, const Point<int, 2>& p) {
    return o << "(" << p.x << "," << p.y << ")";
}
inline std::ostream& operator<<(std::ostream& o, const Rectangle<int, 2>& r) {
    return o << "(" << r.x1 << "," << r.y1 << ")-(" << r.x2 << "," << r.y2 << ")";
}
} // namespace zell::math::geom

namespace zell::gui {
inline std::ostream& operator<<(std::ostream& o, const SMatrixConnection& c) {
    return o << "{" << c.column << "," << c.row << "," << c.newColumn << "," << c.newRow << ","
             << c.moved << "}";
}
} // namespace zell::gui

namespace zell::gui::test {

// What the matrix told its listener; the connection record is copied at delivery, since the
// matrix reuses it.
struct Told {
    int type, kind, value;
    SMatrixConnection record;
    bool hasRecord;
};

class MatrixLog : public SWindow {
  public:
    explicit MatrixLog(SGlobals* g) : SWindow(g, nullptr, 98, "log", 0, 0, 0, 1, 1, 0, false) {}
    void ParseEvent(SEvent* e) override {
        Told t{e->type, e->kind, e->value, {}, e->data != nullptr};
        if (e->data) t.record = *static_cast<SMatrixConnection*>(e->data);
        told.push_back(t);
        EXPECT_EQ(e->fvalue, 0.0f);
        EXPECT_EQ(e->mutex, nullptr);
        senders.push_back(e->sender);
    }
    // The values of the selection events, in order.
    std::vector<int> Selections() const {
        std::vector<int> v;
        for (const Told& t : told)
            if (t.type == kEventValue) v.push_back(t.value);
        return v;
    }
    // The records of the connection events, in order.
    std::vector<SMatrixConnection> Connections() const {
        std::vector<SMatrixConnection> v;
        for (const Told& t : told)
            if (t.type == kEventConnection && t.hasRecord) v.push_back(t.record);
        return v;
    }
    std::vector<Told> told;
    std::vector<SControl*> senders;
};

// The pointer, the listener and the clean-up of every matrix test.
class MatrixDisplay : public OwnDisplay {
  protected:
    void SetUp() override {
        // The shared font list keeps its fonts until unload: they are loaded on the load-time
        // connection, which outlives the test's own.
        statdata.FindFont(8, false, false);
        statdata.FindFont(14, true, false);
        OwnDisplay::SetUp();
        pointer = new Pointer;
        pointer->Park();
        log = new MatrixLog(globals);
    }
    void TearDown() override {
        pointer->Park();
        Dispatch();
        // A rectangle takes the keyboard focus; the next suite finds the server as it was.
        XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
        delete owned;
        delete log;
        delete pointer;
        OwnDisplay::TearDown();
    }
    // Takes the matrix over and has it tell the log.
    template <typename M> M* Own(M* m) {
        owned = m;
        m->AddEventListener(log, kEventValue);
        m->AddEventListener(log, kEventConnection);
        return m;
    }

    Pointer* pointer = nullptr;
    MatrixLog* log = nullptr;

  private:
    SButtonMatrix* owned = nullptr;
};

class Matrix : public MatrixDisplay {
  protected:
    static constexpr int kX = 100, kY = 100; // the matrix's place on the screen

    void SetUp() override {
        MatrixDisplay::SetUp();
        matrix = Own(new SButtonMatrix16(globals, nullptr, 11, "matrix", 8, kX, kY, 256, 256, 0));
        for (int in = 0; in < 16; ++in)
            for (int out = 0; out < 16; ++out)
                matrix->BindNode(in * 16 + out, &routing[in][out]);
        matrix->selection.reserve(256);
        matrix->savedSelection.reserve(256);
        matrix->Show();
        Dispatch();
        matrix->DrawLabels();
        matrix->DrawAll();
        Dispatch();
    }

    // The pointer to a pixel of the matrix, or to the middle of a cell.
    void MoveTo(int x, int y) {
        pointer->MoveTo(kX + x, kY + y);
        Dispatch();
    }
    void MoveToCell(int column, int row) { MoveTo(column * 16 + 8, row * 16 + 8); }
    void Press(unsigned button) {
        pointer->Press(button);
        Dispatch();
    }
    void Release(unsigned button) {
        pointer->Release(button);
        Dispatch();
    }
    void Click(unsigned button) {
        Press(button);
        Release(button);
    }
    void ClickCell(int column, int row, unsigned button = 1) {
        MoveToCell(column, row);
        Click(button);
    }
    // A modifier key held down through XTest, so that button events carry it in their state.
    void Hold(KeySym key, bool down) {
        XTestFakeKeyEvent(pointer->d, XKeysymToKeycode(pointer->d, key), down, CurrentTime);
        XSync(pointer->d, False);
    }
    // A key event for the matrix, as the server would send it to the focused window.
    void Type(KeySym key) {
        Send(Key(matrix->GetWindow(), KeyPress, key));
        Send(Key(matrix->GetWindow(), KeyRelease, key));
    }

    unsigned long Pixel(int x, int y) { return PixelAt(display, matrix->GetWindow(), x, y); }
    // The fill (middle) and outline (left edge) of a cell as they are on screen.
    unsigned long Fill(int column, int row) { return Pixel(column * 16 + 8, row * 16 + 8); }
    unsigned long Outline(int column, int row) { return Pixel(column * 16, row * 16 + 8); }

    void Connect(int column, int row) { routing[column][row] = 0xFFFF; }
    bool Connected(int column, int row) const { return routing[column][row] != 0; }
    int ConnectedCount() const {
        int n = 0;
        for (auto& in : routing)
            for (uint16_t word : in)
                n += word != 0;
        return n;
    }

    // The screen is 24 bits deep: a pixel is its RGB value.
    static constexpr unsigned long kBlack = 0x000000, kBlue = 0x0000FF, kGrey = 0x808080,
                                   kLime = 0xC0FF00, kMagenta = 0xFF00FF, kRed = 0xFF0000,
                                   kSlate = 0x4D5154, kBrown = 0x804000, kGreen = 0x00FF00;

    uint16_t routing[16][16] = {};
    SButtonMatrix16* matrix = nullptr;
};

} // namespace zell::gui::test
