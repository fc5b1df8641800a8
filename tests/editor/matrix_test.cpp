// The panel's routing matrix under real pointer events: what clicks and drags write into the
// routing words and tell the listener, which cell a pixel is, and the colours read back from
// the screen.
#include "matrix_harness.h"

#include "SDrawFont.h"

namespace zell::gui::test {
namespace {

using Cells = std::vector<Point2>;
using Records = std::vector<SMatrixConnection>;

TEST_F(Matrix, LeftClicksConnectSelectAndDeselect) {
    ClickCell(3, 4);
    EXPECT_EQ(routing[3][4], 0xFFFF);
    EXPECT_EQ(matrix->selectedNode, 3 * 16 + 4);
    ASSERT_EQ(log->told.size(), 2u);
    EXPECT_EQ(log->told[0].type, kEventConnection);
    EXPECT_EQ(log->told[0].kind, kKindData);
    EXPECT_EQ(log->told[0].value, 0);
    EXPECT_EQ(log->told[0].record, (SMatrixConnection{3, 4, 0, 0, 0}));
    EXPECT_EQ(log->told[1].type, kEventValue);
    EXPECT_EQ(log->told[1].kind, kKindValue);
    EXPECT_EQ(log->told[1].value, 3 * 16 + 4);
    for (SControl* sender : log->senders)
        EXPECT_EQ(sender, matrix);
    EXPECT_EQ(Fill(3, 4), kLime);
    EXPECT_EQ(Outline(3, 4), kLime);

    ClickCell(3, 4);
    EXPECT_EQ(matrix->selectedNode, -1);
    EXPECT_EQ(routing[3][4], 0xFFFF) << "deselecting keeps the connection";
    EXPECT_EQ(Fill(3, 4), kBlue);
    EXPECT_EQ(Outline(3, 4), kGrey);

    routing[9][1] = 0x0003; // a node with its own filters
    ClickCell(9, 1);
    EXPECT_EQ(routing[9][1], 0x0003) << "selecting a connected node writes nothing";
    EXPECT_EQ(log->Selections(), (std::vector<int>{52, -1, 9 * 16 + 1}));
    EXPECT_EQ(log->Connections().size(), 1u);
}

TEST_F(Matrix, RightClickDisconnectsAndClearsTheSelectionAnywhere) {
    Connect(2, 2);
    Connect(7, 7);
    matrix->DrawAll();
    ClickCell(2, 2);
    ASSERT_EQ(matrix->selectedNode, 2 * 16 + 2);
    log->told.clear();
    ClickCell(7, 7, 3);
    EXPECT_FALSE(Connected(7, 7));
    EXPECT_TRUE(Connected(2, 2));
    EXPECT_EQ(matrix->selectedNode, -1);
    EXPECT_EQ(log->Connections(), (Records{{7, 7, 0, 0, 0}}));
    EXPECT_EQ(log->Selections(), (std::vector<int>{-1}));
    EXPECT_EQ(Fill(7, 7), kBlack);
    EXPECT_EQ(Fill(2, 2), kBlue);
}

TEST_F(Matrix, LeftDragConnectsEveryCellCrossedAndSelectsTheLast) {
    MoveToCell(1, 1);
    Press(1);
    for (Point2 c : {Point2{2, 1}, Point2{3, 1}, Point2{3, 2}})
        MoveToCell(c.x, c.y);
    Release(1);
    EXPECT_EQ(ConnectedCount(), 4);
    for (Point2 c : {Point2{1, 1}, Point2{2, 1}, Point2{3, 1}, Point2{3, 2}})
        EXPECT_TRUE(Connected(c.x, c.y)) << c;
    EXPECT_EQ(matrix->selectedNode, 3 * 16 + 2);

    // A pointer trembling inside the cell does not undo the click that deselected it.
    Press(1);
    MoveTo(3 * 16 + 10, 2 * 16 + 9);
    Release(1);
    EXPECT_EQ(matrix->selectedNode, -1);

    // A right drag disconnects until it leaves the control; outside there is no cell.
    MoveToCell(1, 1);
    Press(3);
    MoveToCell(2, 1);
    const size_t before = log->told.size();
    MoveTo(-30, 24);
    MoveTo(300, 24);
    Release(3);
    EXPECT_EQ(log->told.size(), before);
    EXPECT_FALSE(Connected(1, 1));
    EXPECT_FALSE(Connected(2, 1));
    EXPECT_TRUE(Connected(3, 1));
    EXPECT_TRUE(Connected(3, 2));
}

TEST_F(Matrix, PixelsMapToCellsUpToTheLastEdge) {
    for (Point2 p : {Point2{255, 0}, Point2{0, 255}, Point2{255, 255}, Point2{15, 16}}) {
        MoveTo(p.x, p.y);
        Click(1);
    }
    EXPECT_TRUE(Connected(15, 0));
    EXPECT_TRUE(Connected(0, 15));
    EXPECT_TRUE(Connected(15, 15));
    EXPECT_TRUE(Connected(0, 1));
    EXPECT_EQ(ConnectedCount(), 4);

    // Dragged out of the control, the pointer is on no cell: the edge column is not taken.
    matrix->highlightEnabled = true;
    MoveToCell(13, 0);
    Press(1);
    MoveTo(300, 8);
    EXPECT_EQ(matrix->HoverCell(), (Point2{-1, -1}));
    Release(1);
    EXPECT_TRUE(Connected(13, 0));
    EXPECT_FALSE(Connected(14, 0));
    EXPECT_EQ(ConnectedCount(), 5);
}

TEST_F(Matrix, NodeColoursAndGridReadBackAsPixels) {
    matrix->showGrid = true;
    matrix->optionFlags = kMatrixMultiSelection;
    Connect(1, 1); // plain
    Connect(2, 2); // selected
    Connect(3, 3); // listed
    Connect(4, 4); // listed and selected
    routing[6][6] = 0x0001;
    matrix->selection = {{3, 3}, {4, 4}};
    matrix->DrawLabels();
    matrix->DrawAll();
    Dispatch();
    EXPECT_EQ(Fill(1, 1), kBlue);
    EXPECT_EQ(Outline(1, 1), kGrey);
    EXPECT_EQ(Fill(6, 6), kBlue) << "any non-zero word is connected";
    matrix->selectedNode = 2 * 16 + 2;
    matrix->DrawAll();
    Dispatch();
    EXPECT_EQ(Fill(2, 2), kLime);
    EXPECT_EQ(Outline(2, 2), kLime);
    EXPECT_EQ(Fill(3, 3), kMagenta);
    EXPECT_EQ(Outline(3, 3), kRed);
    matrix->selectedNode = 4 * 16 + 4;
    matrix->DrawAll();
    Dispatch();
    EXPECT_EQ(Fill(4, 4), kMagenta);
    EXPECT_EQ(Outline(4, 4), kLime);
    EXPECT_EQ(Fill(2, 2), kBlue);
    EXPECT_EQ(Pixel(12 * 16, 200), kSlate) << "vertical grid line";
    EXPECT_EQ(Pixel(200, 12 * 16), kSlate) << "horizontal grid line";
    EXPECT_EQ(Fill(12, 12), kBlack);

    matrix->showGrid = false;
    matrix->DrawLabels();
    matrix->DrawAll();
    Dispatch();
    EXPECT_EQ(Pixel(12 * 16, 200), kBlack);
}

// A server answer to a copy into an image names a drawable that is no window: an embedding host
// that looks it up as one gets an X error.
TEST_F(Matrix, CopiesBetweenItsImagesBringNoEvents) {
    Connect(1, 1);
    matrix->DrawAll();
    matrix->DrawArea(1 * 16 + 1);
    matrix->Draw(matrix->ClientRect());
    XSync(display, False);
    XEvent e;
    EXPECT_FALSE(XCheckTypedEvent(display, NoExpose, &e));
    Dispatch();
}

// The share of a rectangle of the window that has the colour.
int Count(Display* d, Window w, Rect2 r, unsigned long colour) {
    XImage* image = XGetImage(d, w, r.x1, r.y1, r.Width(), r.Height(), AllPlanes, ZPixmap);
    if (!image) return -1;
    int n = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            n += XGetPixel(image, x, y) == colour;
    XDestroyImage(image);
    return n;
}

TEST_F(Matrix, WatermarkAndScreenshot) {
    matrix->labelFont = statdata.FindFont(14, true, false);
    ASSERT_TRUE(matrix->labelFont->Loaded());
    matrix->DrawLabels();
    for (Point2 c : {Point2{0, 0}, Point2{1, 1}, Point2{4, 5}, Point2{9, 3}, Point2{12, 14}})
        Connect(c.x, c.y);
    matrix->DrawAll();
    ClickCell(5, 9);
    pointer->Park();
    Dispatch();
    // The input text runs right from (100, 20); the output text stands upright in its strip.
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
    matrix->DrawAll();
    MoveToCell(5, 6);
    EXPECT_EQ(Fill(12, 6), kBrown) << "the row";
    EXPECT_EQ(Fill(5, 12), kBrown) << "the column";
    EXPECT_EQ(Fill(5, 9), kBlue) << "nodes stay on top";
    EXPECT_EQ(Fill(12, 12), kBlack);
    MoveToCell(6, 6);
    EXPECT_EQ(Fill(5, 12), kBlack);
    EXPECT_EQ(Fill(6, 12), kBrown);
    EXPECT_EQ(Fill(5, 9), kBlue);
    pointer->Park();
    Dispatch();
    EXPECT_EQ(Fill(6, 12), kBlack);
    EXPECT_EQ(Fill(12, 6), kBlack);
    EXPECT_EQ(matrix->HoverCell(), (Point2{-1, -1}));

    matrix->columnHighlightColour = statdata.Colour(4);
    matrix->highlightColumn = 5;
    matrix->DrawHighlightColumn();
    Dispatch();
    EXPECT_EQ(Fill(5, 0), kRed);
    EXPECT_EQ(Fill(5, 9), kBlue);
    matrix->previousHighlightColumn = 5;
    matrix->highlightColumn = 7;
    matrix->DrawHighlightColumn();
    Dispatch();
    EXPECT_EQ(Fill(5, 0), kBlack);
    EXPECT_EQ(Fill(5, 9), kBlue);
    EXPECT_EQ(Fill(7, 15), kRed);
}

TEST_F(Matrix, MiddleClicksToggleTheFocusAndItsIndicator) {
    const int white = statdata.Colour(0), red = statdata.Colour(4);
    SLabel<false> indicator(globals, nullptr, 22, "focus", 0, 400, 100, 10, 10, 0, false);
    indicator.SetBackgroundColour(white);
    matrix->focusIndicator = &indicator;
    matrix->focusColour = red;
    matrix->optionFlags = kMatrixMultiSelection;
    // The focus goes back to a window of its own, not to the pointer's, which is the matrix.
    indicator.Show();
    Dispatch();
    XSetInputFocus(display, indicator.GetWindow(), RevertToPointerRoot, CurrentTime);
    MoveToCell(8, 8);
    Click(2);
    EXPECT_TRUE(matrix->GetStatus() & kStatusFocus);
    EXPECT_EQ(indicator.GetBackgroundColour(), red);
    Click(2);
    EXPECT_FALSE(matrix->GetStatus() & kStatusFocus);
    EXPECT_EQ(indicator.GetBackgroundColour(), matrix->GetBackgroundColour());
    matrix->focusIndicator = nullptr;
}

TEST_F(Matrix, InfoLabelsShowPaddedPortNumbersOrNames) {
    context::SDrawFont* font = statdata.FindFont(8, false, false);
    SLabel<false> in(globals, nullptr, 20, "in", 0, 400, 100, 40, 20, 0, false);
    SLabel<false> out(globals, nullptr, 21, "out", 0, 450, 100, 40, 20, 0, false);
    in.SetLabel("", font, 0);
    out.SetLabel("", font, 0);
    matrix->inputInfoLabel = &in;
    matrix->outputInfoLabel = &out;
    matrix->inputNumberBase = matrix->outputNumberBase = 1;
    MoveToCell(0, 15);
    EXPECT_STREQ(in.GetLabel().Text(), "001");
    EXPECT_STREQ(out.GetLabel().Text(), "016");
    MoveToCell(9, 0);
    EXPECT_STREQ(in.GetLabel().Text(), "010");
    EXPECT_STREQ(out.GetLabel().Text(), "001");
    pointer->Park();
    Dispatch();
    EXPECT_STREQ(in.GetLabel().Text(), "");
    EXPECT_STREQ(out.GetLabel().Text(), "");

    matrix->portNames = new SButtonMatrix::Names[2];
    matrix->portNames[0] = "Drums";
    matrix->portNames[1] = "Bass";
    matrix->portNameCount = 2;
    matrix->portNamesOwned = true;
    MoveToCell(1, 7);
    EXPECT_STREQ(in.GetLabel().Text(), "Bass");
    EXPECT_STREQ(out.GetLabel().Text(), "008") << "no name for this port";
    pointer->Park();
    Dispatch();
    matrix->inputInfoLabel = matrix->outputInfoLabel = nullptr;
}

TEST_F(Matrix, PanelSettingsIgnoreModifiersWheelAndKeys) {
    Connect(4, 4);
    matrix->selection = {{4, 4}};
    matrix->DrawAll();
    for (KeySym key : {XK_Control_L, XK_Shift_L}) {
        Hold(key, true);
        ClickCell(6, 6, 1);
        ClickCell(4, 4, 3);
        MoveToCell(4, 4);
        Click(4);
        Hold(key, false);
    }
    Click(4);
    Click(5);
    Click(2);
    Type(XK_Up);
    Type(XK_Delete);
    EXPECT_FALSE(matrix->GetStatus() & kStatusFocus) << "a middle click takes no focus";
    EXPECT_EQ(ConnectedCount(), 1);
    EXPECT_TRUE(Connected(4, 4));
    EXPECT_EQ(matrix->selection, (Cells{{4, 4}}));
    EXPECT_FALSE(matrix->BandActive());
    EXPECT_TRUE(log->told.empty());
}

TEST_F(Matrix, UnboundNodesAndCellsOutsideTheGridAreLeftAlone) {
    matrix->BindNode(2 * 16 + 2, nullptr);
    matrix->BindNode(256, &routing[0][0]);
    matrix->BindNode(-1, &routing[0][0]);
    ClickCell(2, 2);
    EXPECT_FALSE(matrix->IsConnected(2, 2));
    EXPECT_TRUE(log->Connections().empty());
    for (Point2 c : {Point2{16, 0}, Point2{-1, 3}, Point2{0, 16}, Point2{3, -1}}) {
        EXPECT_FALSE(matrix->IsConnected(c.x, c.y)) << c;
        matrix->SetConnection(c.x, c.y);
        matrix->ResetConnection(c.x, c.y, false);
    }
    matrix->RefreshArea(300);
    Dispatch();
    EXPECT_TRUE(log->Connections().empty());
    EXPECT_EQ(ConnectedCount(), 0);
}

} // namespace
} // namespace zell::gui::test
