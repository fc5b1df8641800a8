// The panel's routing matrix under real pointer events: what clicks and drags write into the
// routing words and tell the listener, which cell a pixel is, and the colours on the screen.
#include "matrix_harness.h"

#include "SDrawFont.h"

namespace ferrovane::test {
namespace {

TEST_F(Matrix, LeftClicksConnectSelectAndDeselect) {
    ClickCell(3, 4);
    EXPECT_EQ(routing[3][4], 0xFFFF);
    ASSERT_EQ(log->told.size(), 2u);
    const Told &connected = log->told[0], &selected = log->told[1];
    EXPECT_EQ((std::vector<int>{connected.type, connected.kind, connected.value, selected.type,
                                selected.kind, selected.value}),
              (std::vector<int>{kEventConnection, kKindData, 0, kEventValue, kKindValue, 52}));
    EXPECT_EQ(connected.record, (SMatrixConnection{3, 4, 0, 0, 0}));
    EXPECT_EQ(selected.sender, matrix);
    EXPECT_EQ(Fill(3, 4), kLime);
    EXPECT_EQ(Outline(3, 4), kLime);

    ClickCell(3, 4);
    EXPECT_EQ(matrix->selectedNode, -1);
    EXPECT_EQ(routing[3][4], 0xFFFF) << "deselecting keeps the connection";
    EXPECT_EQ(Fill(3, 4), kBlue);
    EXPECT_EQ(Outline(3, 4), kGrey);

    routing[9][1] = 0x0003; // a node with filters of its own
    ClickCell(9, 1);
    EXPECT_EQ(routing[9][1], 0x0003) << "selecting a connected node writes nothing";
    EXPECT_EQ(log->Selections(), (std::vector<int>{52, -1, 9 * 16 + 1}));
}

TEST_F(Matrix, RightClickDisconnectsAndClearsTheSelectionAnywhere) {
    Connect(2, 2);
    Connect(7, 7);
    ClickCell(2, 2);
    log->told.clear();
    ClickCell(7, 7, 3);
    EXPECT_FALSE(Connected(7, 7));
    EXPECT_TRUE(Connected(2, 2));
    EXPECT_EQ(matrix->selectedNode, -1);
    EXPECT_EQ(log->Connections(), (Records{{7, 7, 0, 0, 0}}));
    EXPECT_EQ(log->Selections(), (std::vector<int>{-1}));
    EXPECT_EQ(Fill(7, 7), kBlack);
}

TEST_F(Matrix, DragsPaintAlongTheCellsCrossedInsideTheControl) {
    MoveToCell(1, 1);
    Press(1);
    for (Point2 c : Cells{{2, 1}, {3, 1}, {3, 2}})
        MoveToCell(c.x, c.y);
    Release(1);
    EXPECT_EQ(ConnectedCount(), 4);
    EXPECT_TRUE(Connected(1, 1) && Connected(2, 1) && Connected(3, 1) && Connected(3, 2));
    EXPECT_EQ(matrix->selectedNode, 3 * 16 + 2);

    // A pointer trembling inside the cell does not undo the click that deselected it.
    Press(1);
    MoveTo(3 * 16 + 10, 2 * 16 + 9);
    Release(1);
    EXPECT_EQ(matrix->selectedNode, -1);

    // Outside the control the pointer is on no cell, not on the nearest one.
    MoveToCell(1, 1);
    Press(3);
    MoveToCell(2, 1);
    const size_t told = log->told.size();
    MoveTo(-30, 24);
    MoveTo(300, 24);
    Release(3);
    EXPECT_EQ(log->told.size(), told);
    EXPECT_EQ(ConnectedCount(), 2);
    EXPECT_TRUE(Connected(3, 1) && Connected(3, 2));
}

TEST_F(Matrix, PixelsMapToCellsUpToTheLastEdge) {
    for (Point2 p : Cells{{255, 0}, {0, 255}, {255, 255}, {15, 16}}) {
        MoveTo(p.x, p.y);
        Click(1);
    }
    EXPECT_EQ(ConnectedCount(), 4);
    EXPECT_TRUE(Connected(15, 0) && Connected(0, 15) && Connected(15, 15) && Connected(0, 1));

    matrix->highlightEnabled = true;
    MoveToCell(13, 3);
    Press(1);
    MoveTo(300, 3 * 16 + 8);
    EXPECT_EQ(matrix->HoverCell(), (Point2{-1, -1}));
    Release(1);
    EXPECT_FALSE(Connected(15, 3)) << "dragged out, the pointer is on no cell";
    EXPECT_EQ(ConnectedCount(), 5);
}

TEST_F(Matrix, NodeColoursAndGridReadBack) {
    matrix->showGrid = true;
    matrix->optionFlags = kMatrixMultiSelection;
    for (Point2 c : Cells{{1, 1}, {2, 2}, {3, 3}, {4, 4}})
        Connect(c.x, c.y);
    routing[6][6] = 0x0001;
    matrix->selection = {{3, 3}, {4, 4}};
    matrix->selectedNode = 4 * 16 + 4;
    matrix->DrawLabels();
    matrix->DrawAll();
    Dispatch();
    EXPECT_EQ((std::vector<unsigned long>{Fill(1, 1), Outline(1, 1), Fill(6, 6), Fill(3, 3),
                                          Outline(3, 3), Fill(4, 4), Outline(4, 4)}),
              (std::vector<unsigned long>{kBlue, kGrey, kBlue, kMagenta, kRed, kMagenta, kLime}));
    EXPECT_EQ(Pixel(12 * 16, 200), kSlate) << "vertical grid line";
    EXPECT_EQ(Pixel(200, 12 * 16), kSlate) << "horizontal grid line";
    EXPECT_EQ(Fill(12, 12), kBlack);
}

// A copy into an image that the server answers with an event names a drawable that is not a
// window: an embedding host that looks it up as one gets an X error.
TEST_F(Matrix, CopiesBetweenItsImagesBringNoEvents) {
    Connect(1, 1);
    matrix->DrawAll();
    matrix->DrawArea(1 * 16 + 1);
    XSync(display, False);
    XEvent e;
    EXPECT_FALSE(XCheckTypedEvent(display, NoExpose, &e));
}

int Count(Display* d, Window w, Rect2 r, unsigned long colour) {
    XImage* image = XGetImage(d, w, r.x1, r.y1, r.Width(), r.Height(), AllPlanes, ZPixmap);
    int n = 0;
    for (int y = 0; image && y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            n += XGetPixel(image, x, y) == colour;
    if (image) XDestroyImage(image);
    return n;
}

TEST_F(Matrix, WatermarkAndScreenshot) {
    matrix->labelFont = statdata.FindFont(14, true, false);
    ASSERT_TRUE(matrix->labelFont->Loaded());
    matrix->DrawLabels();
    for (Point2 c : Cells{{0, 0}, {1, 1}, {4, 5}, {9, 3}, {12, 14}})
        Connect(c.x, c.y);
    matrix->DrawAll();
    ClickCell(5, 9);
    pointer->Park();
    Dispatch();
    // The inputs' text runs right from (100, 20); the outputs' text stands in its strip.
    EXPECT_GT(Count(display, matrix->GetWindow(), {100, 20, 240, 40}, kSlate), 40);
    EXPECT_GT(Count(display, matrix->GetWindow(), {20, 72, 50, 240}, kSlate), 40);
    EXPECT_EQ(Count(display, matrix->GetWindow(), {20, 20, 40, 60}, kSlate), 0);
    matrix->showGrid = true;
    matrix->DrawLabels();
    matrix->DrawAll();
    Dispatch();
    SaveScreen(display, kX, kY, 256, 256, "matrix.png");
}

TEST_F(Matrix, HoverBandsFollowThePointer) {
    matrix->highlightEnabled = true;
    matrix->highlightColour = statdata.Colour(3);
    Connect(5, 9);
    MoveToCell(5, 6);
    EXPECT_EQ((std::vector<unsigned long>{Fill(12, 6), Fill(5, 12), Fill(5, 9), Fill(12, 12)}),
              (std::vector<unsigned long>{kBrown, kBrown, kBlue, kBlack}));
    MoveToCell(6, 6);
    EXPECT_EQ((std::vector<unsigned long>{Fill(5, 12), Fill(6, 12), Fill(5, 9)}),
              (std::vector<unsigned long>{kBlack, kBrown, kBlue}));
    pointer->Park();
    Dispatch();
    EXPECT_EQ((std::vector<unsigned long>{Fill(6, 12), Fill(12, 6)}),
              (std::vector<unsigned long>{kBlack, kBlack}));
}

TEST_F(Matrix, InfoLabelsShowPaddedPortNumbersOrNames) {
    SLabel<false> in(globals, nullptr, 20, "in", 0, 400, 100, 40, 20, 0, false);
    SLabel<false> out(globals, nullptr, 21, "out", 0, 450, 100, 40, 20, 0, false);
    in.SetLabel("", statdata.FindFont(8, false, false), 0);
    out.SetLabel("", statdata.FindFont(8, false, false), 0);
    matrix->inputInfoLabel = &in;
    matrix->outputInfoLabel = &out;
    matrix->inputNumberBase = matrix->outputNumberBase = 1;
    auto shown = [&] { return std::string(in.GetLabel().Text()) + "|" + out.GetLabel().Text(); };
    MoveToCell(0, 15);
    EXPECT_EQ(shown(), "001|016");
    MoveToCell(9, 0);
    EXPECT_EQ(shown(), "010|001");
    matrix->portNames = new SButtonMatrix::PortName[2];
    matrix->portNames[1] = "Bass";
    matrix->portNameCount = 2;
    matrix->portNamesOwned = true;
    MoveToCell(1, 7);
    EXPECT_EQ(shown(), "Bass|008");
    pointer->Park();
    Dispatch();
    EXPECT_EQ(shown(), "|");
    matrix->inputInfoLabel = matrix->outputInfoLabel = nullptr;
}

TEST_F(Matrix, PanelSettingsIgnoreModifiersWheelAndKeys) {
    Connect(4, 4);
    matrix->selection = {{4, 4}};
    for (KeySym key : {XK_Control_L, XK_Shift_L}) {
        Hold(key, true);
        ClickCell(6, 6, 1);
        ClickCell(4, 4, 3);
        Click(4);
        Hold(key, false);
    }
    Click(4);
    Click(5);
    Click(2);
    Type(XK_Up);
    Type(XK_Delete);
    EXPECT_EQ(ConnectedCount(), 1);
    EXPECT_TRUE(Connected(4, 4));
    EXPECT_EQ(matrix->selection, (Cells{{4, 4}}));
    EXPECT_FALSE(matrix->GetStatus() & kStatusFocus) << "a middle click takes no focus";
    EXPECT_TRUE(log->told.empty());
}

TEST_F(Matrix, UnboundNodesAndCellsOutsideTheGridAreLeftAlone) {
    matrix->BindNode(2 * 16 + 2, nullptr);
    matrix->BindNode(256, &routing[0][0]);
    ClickCell(2, 2);
    EXPECT_FALSE(matrix->IsConnected(2, 2));
    for (Point2 c : Cells{{16, 0}, {-1, 3}, {0, 16}, {3, -1}}) {
        EXPECT_FALSE(matrix->IsConnected(c.x, c.y));
        matrix->SetConnection(c.x, c.y);
        matrix->ResetConnection(c.x, c.y, false);
    }
    matrix->RefreshArea(300);
    Dispatch();
    EXPECT_TRUE(log->Connections().empty());
    EXPECT_EQ(ConnectedCount(), 0);
}

} // namespace
} // namespace ferrovane::test
