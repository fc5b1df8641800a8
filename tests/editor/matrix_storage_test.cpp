// The 128 x 128 matrix keeps its connections as bits of four masks per input and clears the
// nodes' option words; what it cannot reach it leaves alone.
#include "matrix_harness.h"

#include "SButtonMatrix128.h"

namespace ferrovane::test {
namespace {

class Wide : public MatrixDisplay {
  protected:
    static constexpr int kUnbound = 7;

    void SetUp() override {
        MatrixDisplay::SetUp();
        matrix = Own(new SButtonMatrix128(globals, nullptr, 12, "wide", 0, 600, 100, 512, 512, 0));
        for (int in = 0; in < 128; ++in)
            for (int q = 0; in != kUnbound && q < 4; ++q)
                matrix->BindMask(in, q, &masks[in][q]);
        for (int node = 0; node < 128 * 128; ++node)
            matrix->BindOption(node, &options[node / 128][node % 128]);
        for (auto& in : options)
            for (uint16_t& word : in)
                word = 0x3F;
    }

    uint32_t masks[128][4] = {};
    uint16_t options[128][128] = {};
    SButtonMatrix128* matrix = nullptr;
};

TEST_F(Wide, OutputsAreBitsOfTheirInputsMasks) {
    for (int out : {40, 127, 0})
        matrix->SetConnection(3, out);
    EXPECT_EQ((std::vector<uint32_t>{masks[3][0], masks[3][1], masks[3][2], masks[3][3]}),
              (std::vector<uint32_t>{1u, 1u << 8, 0u, 1u << 31}));
    EXPECT_TRUE(matrix->IsConnected(3, 40));
    EXPECT_FALSE(matrix->IsConnected(3, 41) || matrix->IsConnected(4, 40));
    matrix->ResetConnection(3, 127, false);
    EXPECT_EQ(masks[3][3], 0u);
    EXPECT_EQ(masks[3][1], 1u << 8) << "the other bits stay";
    EXPECT_EQ(log->Connections(),
              (Records{{3, 40, 0, 0, 0}, {3, 127, 0, 0, 0}, {3, 0, 0, 0, 0}, {3, 127, 0, 0, 0}}));

    log->told.clear();
    for (Point2 c : Cells{{3, 128}, {3, 200}, {128, 3}, {-1, 3}, {kUnbound, 5}}) {
        EXPECT_FALSE(matrix->IsConnected(c.x, c.y));
        matrix->SetConnection(c.x, c.y);
    }
    EXPECT_TRUE(log->told.empty()) << "outputs above 127 and unbound inputs read disconnected";
}

TEST_F(Wide, OptionWordsAreClearedUnlessTheNodeMoves) {
    matrix->SetConnection(2, 9);
    EXPECT_EQ(options[2][9], 0);
    options[2][9] = 0x3F;
    matrix->ResetConnection(2, 9, true);
    EXPECT_EQ(options[2][9], 0x3F) << "a move keeps it";
    matrix->ResetConnection(2, 9, false);
    EXPECT_EQ(options[2][9], 0);
    matrix->selectable = false;
    matrix->SetConnection(2, 10);
    matrix->ResetConnection(2, 10, false);
    EXPECT_EQ(options[2][10], 0x3F) << "only a selectable matrix clears them";
}

} // namespace
} // namespace ferrovane::test
