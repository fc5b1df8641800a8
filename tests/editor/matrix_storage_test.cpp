// The 128 x 128 matrix keeps its connections as bits of four masks per input and clears the
// nodes' option words; what it cannot reach it leaves alone.
#include "matrix_harness.h"

#include "SButtonMatrix128.h"

namespace zell::gui::test {
namespace {

class Wide : public MatrixDisplay {
  protected:
    static constexpr int kX = 600, kY = 100;

    void SetUp() override {
        MatrixDisplay::SetUp();
        matrix = Own(new SButtonMatrix128(globals, nullptr, 12, "wide", 0, kX, kY, 512, 512, 0));
        for (int in = 0; in < 128; ++in) {
            if (in == kUnbound) continue;
            for (int q = 0; q < 4; ++q)
                matrix->BindMask(in, q, &masks[in][q]);
            for (int out = 0; out < 128; ++out) {
                options[in][out] = 0x3F;
                matrix->BindOption(in * 128 + out, &options[in][out]);
            }
        }
    }

    static constexpr int kUnbound = 7;
    uint32_t masks[128][4] = {};
    uint16_t options[128][128] = {};
    SButtonMatrix128* matrix = nullptr;
};

TEST_F(Wide, OutputsAreBitsOfTheirInputsMasks) {
    matrix->SetConnection(3, 40);
    matrix->SetConnection(3, 127);
    matrix->SetConnection(3, 0);
    EXPECT_EQ(masks[3][0], 1u);
    EXPECT_EQ(masks[3][1], 1u << 8);
    EXPECT_EQ(masks[3][2], 0u);
    EXPECT_EQ(masks[3][3], 1u << 31);
    EXPECT_TRUE(matrix->IsConnected(3, 40));
    EXPECT_FALSE(matrix->IsConnected(3, 41));
    EXPECT_FALSE(matrix->IsConnected(4, 40));
    matrix->ResetConnection(3, 127, false);
    EXPECT_EQ(masks[3][3], 0u);
    EXPECT_EQ(masks[3][1], 1u << 8) << "the other bits stay";
    EXPECT_EQ(log->Connections(),
              (std::vector<SMatrixConnection>{
                  {3, 40, 0, 0, 0}, {3, 127, 0, 0, 0}, {3, 0, 0, 0, 0}, {3, 127, 0, 0, 0}}));
}

TEST_F(Wide, OptionWordsAreClearedUnlessTheNodeMoves) {
    matrix->SetConnection(2, 9);
    EXPECT_EQ(options[2][9], 0);
    options[2][9] = 0x3F;
    matrix->ResetConnection(2, 9, true);
    EXPECT_EQ(options[2][9], 0x3F) << "a move keeps the option word";
    matrix->ResetConnection(2, 9, false);
    EXPECT_EQ(options[2][9], 0);

    matrix->selectable = false;
    matrix->SetConnection(2, 10);
    matrix->ResetConnection(2, 10, false);
    EXPECT_EQ(options[2][10], 0x3F) << "only a selectable matrix touches them";
}

TEST_F(Wide, WhatIsOutsideOrUnboundIsLeftAlone) {
    for (Point2 c : {Point2{3, 128}, Point2{3, 200}, Point2{128, 3}, Point2{-1, 3}, Point2{3, -1},
                     Point2{kUnbound, 5}}) {
        EXPECT_FALSE(matrix->IsConnected(c.x, c.y)) << c;
        matrix->SetConnection(c.x, c.y);
        matrix->ResetConnection(c.x, c.y, false);
    }
    matrix->BindMask(128, 0, &masks[0][0]);
    matrix->BindMask(0, 4, &masks[0][0]);
    matrix->BindOption(128 * 128, &options[0][0]);
    EXPECT_TRUE(log->told.empty());
    for (auto& in : masks)
        for (uint32_t m : in)
            EXPECT_EQ(m, 0u);
}

TEST_F(Wide, ClicksFindTheSmallCells) {
    EXPECT_EQ(matrix->cellWidth, 4);
    EXPECT_EQ(matrix->cellHeight, 4);
    matrix->Show();
    Dispatch();
    matrix->DrawAll();
    pointer->MoveTo(kX + 13, kY + 21);
    Dispatch();
    pointer->Click(1);
    Dispatch();
    EXPECT_EQ(masks[3][0], 1u << 5);
    EXPECT_EQ(matrix->selectedNode, 3 * 128 + 5);
    EXPECT_EQ(PixelAt(display, matrix->GetWindow(), 14, 22), 0xC0FF00ul) << "the selected node";
}

} // namespace
} // namespace zell::gui::test
