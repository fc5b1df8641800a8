// A routing matrix on the test's own connection with its nodes bound to the test's routing words,
// real pointer events through XTest, and a log of what the matrix told its listener.
#pragma once

#include "ControlsHarness.h" // GoogleTest before Xlib
#include "GuiHarness.h"

#include "SButtonMatrix16.h"
#include "SStaticData.h"

#include <X11/keysym.h>

namespace ferrovane::test {

using namespace zell::gui;
using namespace zell::gui::test;

// The connection record is copied at delivery: the matrix reuses it.
struct Told {
    int type, kind, value;
    SMatrixConnection record;
    SControl* sender;
};

class MatrixLog : public SWindow {
  public:
    explicit MatrixLog(SGlobals* g) : SWindow(g, nullptr, 98, "log", 0, 0, 0, 1, 1, 0, false) {}
    void ParseEvent(SEvent* e) override {
        SMatrixConnection r{-1, -1, -1, -1, -1};
        if (e->data) r = *static_cast<SMatrixConnection*>(e->data);
        told.push_back({e->type, e->kind, e->value, r, e->sender});
    }
    std::vector<int> Selections() const {
        std::vector<int> v;
        for (const Told& t : told)
            if (t.type == kEventValue) v.push_back(t.value);
        return v;
    }
    std::vector<SMatrixConnection> Connections() const {
        std::vector<SMatrixConnection> v;
        for (const Told& t : told)
            if (t.type == kEventConnection) v.push_back(t.record);
        return v;
    }
    std::vector<Told> told;
};

// The pointer, the log and the clean-up of every matrix test.
class MatrixDisplay : public OwnDisplay {
  protected:
    void SetUp() override {
        // Cached fonts live until unload: load them on the load-time connection, not the test's.
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
    // A modifier held through XTest, so that button events carry it in their state.
    void Hold(KeySym key, bool down) {
        XTestFakeKeyEvent(pointer->d, XKeysymToKeycode(pointer->d, key), down, CurrentTime);
        XSync(pointer->d, False);
    }
    // A key event as the server sends it to the focused window.
    void Type(KeySym key) {
        Send(Key(matrix->GetWindow(), KeyPress, key));
        Send(Key(matrix->GetWindow(), KeyRelease, key));
    }

    unsigned long Pixel(int x, int y) { return PixelAt(display, matrix->GetWindow(), x, y); }
    // The middle and the left edge of a cell, as they are on the screen.
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

using Cells = std::vector<Point2>;
using Records = std::vector<SMatrixConnection>;

} // namespace ferrovane::test
