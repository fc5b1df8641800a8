// The multi-selection of the matrix (option bit 1): rectangles dragged with Control or Shift,
// and moving or deleting the listed nodes with the wheel, the arrow keys and Delete.
#include "matrix_harness.h"

namespace zell::gui::test {
namespace {

using Cells = std::vector<Point2>;
using Records = std::vector<SMatrixConnection>;

class Selection : public Matrix {
  protected:
    void SetUp() override {
        Matrix::SetUp();
        matrix->optionFlags = kMatrixBandSelection;
    }
    // A rectangle dragged from one cell to another with the key and button held.
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
        matrix->DrawAll();
        Dispatch();
    }
};

TEST_F(Selection, RectanglesReplaceAddAndRemove) {
    for (Point2 c : {Point2{1, 1}, Point2{2, 2}, Point2{3, 3}, Point2{6, 6}, Point2{2, 9}})
        Connect(c.x, c.y);
    matrix->highlightEnabled = true;
    matrix->DrawAll();

    Hold(XK_Control_L, true);
    MoveToCell(0, 0);
    Press(1);
    MoveToCell(4, 4);
    EXPECT_TRUE(matrix->BandActive());
    EXPECT_EQ(matrix->BandMode(), kBandReplace);
    EXPECT_FALSE(matrix->highlightEnabled) << "no hover bands under the rectangle";
    EXPECT_EQ(matrix->Band(), (Rect2{8, 8, 72, 72}));
    // The rectangle inverts what it crosses: green on black shows as its complement.
    EXPECT_EQ(Pixel(40, 8), ~kGreen & 0xFFFFFF);
    EXPECT_EQ(Pixel(40, 24), kBlack) << "only the outline";
    Release(1);
    Hold(XK_Control_L, false);
    EXPECT_FALSE(matrix->BandActive());
    EXPECT_TRUE(matrix->highlightEnabled);
    EXPECT_EQ(Pixel(40, 8), kBlack);
    EXPECT_EQ(matrix->selection, (Cells{{1, 1}, {2, 2}, {3, 3}}));

    Band(XK_Shift_L, 1, {5, 5}, {7, 7});
    EXPECT_EQ(matrix->selection, (Cells{{1, 1}, {2, 2}, {3, 3}, {6, 6}}));
    Band(XK_Shift_L, 1, {0, 0}, {7, 7});
    EXPECT_EQ(matrix->selection.size(), 4u) << "nodes are listed once";

    Band(XK_Control_L, 3, {2, 2}, {3, 3});
    EXPECT_EQ(matrix->selection, (Cells{{1, 1}, {6, 6}}));
    EXPECT_EQ(matrix->savedSelection, (Cells{{1, 1}, {2, 2}, {3, 3}, {6, 6}}));

    EXPECT_EQ(ConnectedCount(), 5) << "rectangles only select";
    EXPECT_TRUE(log->told.empty());
}

TEST_F(Selection, RectangleStaysInsideTheControl) {
    Hold(XK_Control_L, true);
    MoveToCell(14, 14);
    Press(1);
    MoveTo(400, 400);
    EXPECT_EQ(matrix->Band(), (Rect2{232, 232, 255, 255}));
    MoveTo(-50, 240);
    EXPECT_EQ(matrix->Band(), (Rect2{1, 232, 232, 240}));
    Release(1);
    Hold(XK_Control_L, false);
    EXPECT_EQ(matrix->Band(), (Rect2{})) << "reset when the button is let go";
}

TEST_F(Selection, MovesCarryConnectionsAndTheSelectedNode) {
    List({{0, 0}, {0, 1}});
    matrix->selectedNode = 1;
    matrix->MoveSelection(kMoveDown);
    EXPECT_FALSE(Connected(0, 0));
    EXPECT_TRUE(Connected(0, 1));
    EXPECT_TRUE(Connected(0, 2));
    EXPECT_EQ(matrix->selection, (Cells{{0, 1}, {0, 2}}));
    EXPECT_EQ(matrix->selectedNode, 2);
    EXPECT_EQ(log->Selections(), (std::vector<int>{2}));
    EXPECT_EQ(log->Connections(), (Records{{0, 1, 0, 0, 0},
                                           {0, 2, 0, 0, 0},
                                           {0, 1, 0, 2, 1},
                                           {0, 0, 0, 0, 0},
                                           {0, 1, 0, 0, 0},
                                           {0, 0, 0, 1, 1}}));
    matrix->MoveSelection(kMoveRight);
    EXPECT_EQ(matrix->selection, (Cells{{1, 1}, {1, 2}}));
    EXPECT_EQ(ConnectedCount(), 2);
    EXPECT_TRUE(Connected(1, 1) && Connected(1, 2));
    EXPECT_EQ(matrix->selectedNode, 1 * 16 + 2);
    Dispatch();
    EXPECT_EQ(Fill(1, 2), kLime);
    EXPECT_EQ(Fill(0, 2), kBlack);
}

TEST_F(Selection, NodesListedInAnyOrderAreNotLost) {
    List({{0, 1}, {0, 0}, {2, 5}, {1, 5}});
    matrix->MoveSelection(kMoveDown);
    EXPECT_EQ(ConnectedCount(), 4);
    EXPECT_TRUE(Connected(0, 1) && Connected(0, 2));
    matrix->MoveSelection(kMoveRight);
    EXPECT_EQ(ConnectedCount(), 4);
    EXPECT_TRUE(Connected(2, 6) && Connected(3, 6));
    matrix->MoveSelection(kMoveLeft);
    matrix->MoveSelection(kMoveUp);
    EXPECT_EQ(ConnectedCount(), 4);
    EXPECT_TRUE(Connected(0, 0) && Connected(0, 1) && Connected(1, 5) && Connected(2, 5));
}

TEST_F(Selection, NodesPushedOffTheGridAreDisconnectedAndDropped) {
    List({{14, 3}, {15, 3}});
    matrix->selectedNode = 15 * 16 + 3;
    matrix->MoveSelection(kMoveRight);
    EXPECT_EQ(matrix->selection, (Cells{{15, 3}}));
    EXPECT_EQ(ConnectedCount(), 1);
    EXPECT_TRUE(Connected(15, 3));
    EXPECT_EQ(matrix->selectedNode, -1);
    EXPECT_EQ(log->Selections(), (std::vector<int>{-1}));
    matrix->MoveSelection(kMoveRight);
    EXPECT_TRUE(matrix->selection.empty());
    EXPECT_EQ(ConnectedCount(), 0);
    log->told.clear();
    matrix->MoveSelection(kMoveLeft);
    matrix->MoveSelection(7);
    EXPECT_TRUE(log->told.empty());
}

TEST_F(Selection, WheelAndKeysMoveAndDeleteTheSelection) {
    List({{5, 5}, {9, 9}});
    matrix->selectedNode = 5 * 16 + 5;
    MoveToCell(12, 1);
    auto at = [&] { return matrix->selection.front(); };
    Click(4);
    EXPECT_EQ(at(), (Point2{5, 4})) << "wheel up";
    Click(5);
    EXPECT_EQ(at(), (Point2{5, 5})) << "wheel down";
    Hold(XK_Shift_L, true);
    Click(4);
    EXPECT_EQ(at(), (Point2{6, 5})) << "wheel up with Shift";
    Click(5);
    EXPECT_EQ(at(), (Point2{5, 5})) << "wheel down with Shift";
    Hold(XK_Shift_L, false);
    Type(XK_Up);
    Type(XK_Left);
    EXPECT_EQ(at(), (Point2{4, 4}));
    Type(XK_Down);
    Type(XK_Right);
    EXPECT_EQ(at(), (Point2{5, 5}));
    EXPECT_EQ(matrix->selectedNode, 5 * 16 + 5) << "the selected node follows";
    EXPECT_EQ(ConnectedCount(), 2);

    Connect(0, 0);
    Type(XK_Delete);
    EXPECT_TRUE(matrix->selection.empty());
    EXPECT_EQ(ConnectedCount(), 1) << "only the listed nodes go";
    EXPECT_EQ(matrix->selectedNode, -1);
    EXPECT_EQ(log->Selections().back(), -1);
}

TEST_F(Selection, NothingIsDeletedFromAMatrixThatIsNotEditable) {
    List({{5, 5}});
    matrix->editable = false;
    Type(XK_Delete);
    EXPECT_TRUE(Connected(5, 5));
}

} // namespace
} // namespace zell::gui::test
