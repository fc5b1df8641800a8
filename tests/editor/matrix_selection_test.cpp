// The matrix's multi-selection (option bit 1): rectangles dragged with Control or Shift held,
// and the listed nodes moved or deleted with the wheel, the arrow keys and Delete.
#include "matrix_harness.h"

namespace ferrovane::test {
namespace {

class Selection : public Matrix {
  protected:
    void SetUp() override {
        Matrix::SetUp();
        matrix->optionFlags = kMatrixBandSelection;
    }
    void Band(KeySym key, unsigned button, Point2 from, Point2 to) {
        Hold(key, true);
        MoveToCell(from.x, from.y);
        Press(button);
        MoveToCell(to.x, to.y);
        Release(button);
        Hold(key, false);
    }
    void List(const Cells& cells) {
        for (const Point2& c : cells)
            Connect(c.x, c.y);
        matrix->selection = cells;
    }
};

TEST_F(Selection, RectanglesReplaceAddAndRemove) {
    for (Point2 c : Cells{{1, 1}, {2, 2}, {3, 3}, {6, 6}, {2, 9}})
        Connect(c.x, c.y);
    matrix->highlightEnabled = true;
    Hold(XK_Control_L, true);
    MoveToCell(0, 0);
    Press(1);
    MoveToCell(4, 4);
    EXPECT_EQ(matrix->Band(), (Rect2{8, 8, 72, 72}));
    EXPECT_FALSE(matrix->highlightEnabled) << "no hover bands under a rectangle";
    // Drawn inverting: green over black shows as its complement, and only on the outline.
    EXPECT_EQ(Pixel(40, 8), ~kGreen & 0xFFFFFF);
    EXPECT_EQ(Pixel(40, 24), kBlack);
    MoveTo(400, 400);
    EXPECT_EQ(matrix->Band(), (Rect2{8, 8, 255, 255})) << "kept inside the control";
    MoveToCell(4, 4);
    Release(1);
    Hold(XK_Control_L, false);
    EXPECT_FALSE(matrix->BandActive());
    EXPECT_TRUE(matrix->highlightEnabled);
    EXPECT_EQ(Pixel(40, 8), kBlack);
    EXPECT_EQ(matrix->selection, (Cells{{1, 1}, {2, 2}, {3, 3}}));

    Band(XK_Shift_L, 1, {5, 5}, {7, 7});
    Band(XK_Shift_L, 1, {0, 0}, {7, 7});
    EXPECT_EQ(matrix->selection, (Cells{{1, 1}, {2, 2}, {3, 3}, {6, 6}}));
    Band(XK_Control_L, 3, {2, 2}, {3, 3});
    EXPECT_EQ(matrix->selection, (Cells{{1, 1}, {6, 6}}));
    EXPECT_EQ(matrix->savedSelection, (Cells{{1, 1}, {2, 2}, {3, 3}, {6, 6}}));
    EXPECT_EQ(ConnectedCount(), 5) << "rectangles only select";
    EXPECT_TRUE(log->told.empty());
}

TEST_F(Selection, MovesCarryConnectionsAndTheSelectedNode) {
    List({{0, 0}, {0, 1}});
    matrix->selectedNode = 1;
    matrix->MoveSelection(kMoveDown);
    EXPECT_EQ(matrix->selection, (Cells{{0, 1}, {0, 2}}));
    EXPECT_TRUE(!Connected(0, 0) && Connected(0, 1) && Connected(0, 2));
    EXPECT_EQ(matrix->selectedNode, 2);
    EXPECT_EQ(log->Selections(), (std::vector<int>{2}));
    EXPECT_EQ(log->Connections(), (Records{{0, 1, 0, 0, 0},
                                           {0, 2, 0, 0, 0},
                                           {0, 1, 0, 2, 1},
                                           {0, 0, 0, 0, 0},
                                           {0, 1, 0, 0, 0},
                                           {0, 0, 0, 1, 1}}));
    matrix->MoveSelection(kMoveRight);
    Dispatch();
    EXPECT_EQ(ConnectedCount(), 2);
    EXPECT_EQ(matrix->selectedNode, 1 * 16 + 2);
    EXPECT_EQ(Fill(1, 2), kLime);
    EXPECT_EQ(Fill(0, 2), kBlack);
}

TEST_F(Selection, NodesListedInAnyOrderAreNotLost) {
    List({{0, 1}, {0, 0}, {2, 5}, {1, 5}});
    for (int direction : {kMoveDown, kMoveRight, kMoveLeft, kMoveUp}) {
        matrix->MoveSelection(direction);
        EXPECT_EQ(ConnectedCount(), 4) << direction;
    }
    EXPECT_TRUE(Connected(0, 0) && Connected(0, 1) && Connected(1, 5) && Connected(2, 5));
}

TEST_F(Selection, NodesPushedOffTheGridAreDisconnectedAndDropped) {
    List({{14, 3}, {15, 3}});
    matrix->selectedNode = 15 * 16 + 3;
    matrix->MoveSelection(kMoveRight);
    EXPECT_EQ(matrix->selection, (Cells{{15, 3}}));
    EXPECT_EQ(ConnectedCount(), 1);
    EXPECT_EQ(matrix->selectedNode, -1);
    EXPECT_EQ(log->Selections(), (std::vector<int>{-1}));
    matrix->MoveSelection(kMoveRight);
    EXPECT_TRUE(matrix->selection.empty());
    EXPECT_EQ(ConnectedCount(), 0);
}

TEST_F(Selection, WheelAndKeysMoveAndDeleteTheSelection) {
    List({{5, 5}, {9, 9}});
    matrix->selectedNode = 5 * 16 + 5;
    MoveToCell(12, 1);
    std::vector<Point2> seen;
    auto step = [&](unsigned button, KeySym key) {
        if (button) Click(button);
        if (key) Type(key);
        seen.push_back(matrix->selection.front());
    };
    step(4, 0);
    step(5, 0);
    Hold(XK_Shift_L, true);
    step(4, 0);
    step(5, 0);
    Hold(XK_Shift_L, false);
    for (KeySym key : {XK_Up, XK_Left, XK_Down, XK_Right})
        step(0, key);
    EXPECT_EQ(seen, (Cells{{5, 4}, {5, 5}, {6, 5}, {5, 5}, {5, 4}, {4, 4}, {4, 5}, {5, 5}}));
    EXPECT_EQ(matrix->selectedNode, 5 * 16 + 5) << "the selected node follows";
    Connect(0, 0);
    Type(XK_Delete);
    EXPECT_TRUE(matrix->selection.empty());
    EXPECT_EQ(ConnectedCount(), 1) << "only the listed nodes go";
    EXPECT_EQ(matrix->selectedNode, -1);
}

} // namespace
} // namespace ferrovane::test
