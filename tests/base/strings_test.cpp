#include "ExactCompare.h"
#include "datastring.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using zell::data::datastring;
using zell::data::ExactCompare;
using Text = datastring<32, char>;

namespace {

std::vector<std::string> Words(const std::vector<Text>& tokens) {
    std::vector<std::string> out;
    for (const Text& t : tokens)
        out.emplace_back(t.Text());
    return out;
}

} // namespace

TEST(DatastringGrowth, CapacityFollowsTheStep) {
    EXPECT_EQ(Text::Capacity(1), 32u);
    EXPECT_EQ(Text::Capacity(32), 32u);
    EXPECT_EQ(Text::Capacity(33), 64u);
    EXPECT_EQ(Text::Capacity(65), 96u);
    EXPECT_EQ((datastring<8, char>::Capacity(9)), 16u);

    Text s;
    EXPECT_EQ(s.CapacityBytes(), 32u);
    EXPECT_EQ(s.Used(), 1u);
    EXPECT_STREQ(s.Text(), "");
    s.Append(std::string(31, 'a').c_str());
    EXPECT_EQ(s.CapacityBytes(), 32u);
    s.Append('b');
    EXPECT_EQ(s.CapacityBytes(), 64u);
    EXPECT_EQ(s.Length(), 32u);
    EXPECT_EQ(s.Text()[31], 'b');
    EXPECT_EQ(s.Text()[32], 0);
}

TEST(DatastringGrowth, ClearAndInitialize) {
    Text s(std::string(70, 'x').c_str());
    EXPECT_EQ(s.CapacityBytes(), 96u);
    s.Clear(false);
    EXPECT_EQ(s.CapacityBytes(), 96u);
    EXPECT_STREQ(s.Text(), "");
    s.Append(std::string(70, 'y').c_str());
    s.Clear(true);
    EXPECT_EQ(s.CapacityBytes(), 32u);
    EXPECT_EQ(s.Used(), 1u);
    s.Initialize(100);
    EXPECT_EQ(s.CapacityBytes(), 128u);
    EXPECT_EQ(s.Length(), 0u);
}

TEST(DatastringGrowth, AppendingItselfAndNulls) {
    Text s("abcdefghijklmnopqrst"); // 20 characters: the doubled text needs a new array
    s.Append(s.Text());
    EXPECT_STREQ(s.Text(), "abcdefghijklmnopqrstabcdefghijklmnopqrst");
    s.Append(s.Text() + 35);
    EXPECT_STREQ(s.Text(), "abcdefghijklmnopqrstabcdefghijklmnopqrstpqrst");
    Text small("ab");
    small.Append(small.Text()); // fits in place
    EXPECT_STREQ(small.Text(), "abab");

    s.Append(static_cast<const char*>(nullptr));
    s.Append('\0');
    EXPECT_EQ(s.Length(), 45u);
    s = static_cast<const char*>(nullptr);
    EXPECT_STREQ(s.Text(), "");
    Text& alias = s;
    s = alias;
    EXPECT_EQ(s.Used(), 1u);
}

TEST(DatastringGrowth, CopiesAreDeepAndAssignmentReuses) {
    Text a(std::string(40, 'q').c_str());
    Text b(a);
    b.Data()[0] = 'Z';
    EXPECT_EQ(a.Text()[0], 'q');
    EXPECT_EQ(b.Length(), 40u);
    unsigned int capacity = b.CapacityBytes();
    b = "short";
    EXPECT_EQ(b.CapacityBytes(), capacity);
    EXPECT_STREQ(b.Text(), "short");
    EXPECT_EQ(b.Text()[6], 0); // the rest was cleared
    b = a;
    EXPECT_STREQ(b.Text(), a.Text());
}

TEST(DatastringFormatted, PiecesAreBoundedByMaxlen) {
    Text s;
    s.Append(32, "%s", std::string(40, 'k').c_str());
    EXPECT_EQ(s.Length(), 30u);
    s.Append(32, "%d", 7);
    EXPECT_EQ(s.Length(), 31u);
    EXPECT_EQ(s.Text()[30], '7');

    datastring<8, char> n;
    n.Append(8, "%d", 123456789);
    EXPECT_STREQ(n.Text(), "123456");
    n.Append(1, "%d", 5); // too small to hold anything
    EXPECT_STREQ(n.Text(), "123456");

    Text f(32, "%s-%d", std::string(50, 'm').c_str(), 3);
    EXPECT_EQ(f.Length(), 30u);
    EXPECT_EQ(f.CapacityBytes(), 32u);
    Text g(10, "%d", 42);
    EXPECT_STREQ(g.Text(), "42");
    EXPECT_EQ(g.Used(), 3u);
}

TEST(DatastringTokenize, EdgeInputs) {
    std::vector<Text> out;
    out.emplace_back("kept");
    Text s(",a,,b,");
    EXPECT_EQ(s.Tokenize(out, ","), 2);
    EXPECT_EQ(Words(out), (std::vector<std::string>{"kept", "a", "b"}));
    EXPECT_STREQ(s.Text(), ",a,,b,");

    out.clear();
    EXPECT_EQ(Text().Tokenize(out, ","), 0);
    EXPECT_EQ(Text(",,,").Tokenize(out, ","), 0);
    EXPECT_EQ(Text("abc").Tokenize(out, nullptr), 0);
    EXPECT_TRUE(out.empty());

    Text mixed(" one\ttwo ;three ");
    EXPECT_EQ(mixed.Tokenize(out, " \t;"), 3);
    EXPECT_EQ(Words(out), (std::vector<std::string>{"one", "two", "three"}));

    out.clear();
    Text longer(std::string(100, 'w').append(",x").c_str());
    EXPECT_EQ(longer.Tokenize(out, ","), 2);
    EXPECT_EQ(out[0].Length(), 100u);
}

TEST(ExactCompareModes, NullsAndSamePointer) {
    const char* p = "same";
    for (int mode : {15, -5, -1, -3, 0, 4, 7, 99}) {
        EXPECT_EQ(ExactCompare(p, p, mode), 0);
        EXPECT_EQ(ExactCompare(nullptr, nullptr, mode), 0);
        EXPECT_EQ(ExactCompare(nullptr, "x", mode), -1);
        EXPECT_EQ(ExactCompare("x", nullptr, mode), 1);
    }
}

TEST(ExactCompareModes, NaturalOrderOfNumbers) {
    EXPECT_EQ(ExactCompare("track10", "track9", 15), 1);
    EXPECT_EQ(ExactCompare("track9", "track10", 15), -1);
    EXPECT_EQ(ExactCompare("Track2", "track2", 15), 0);
    // Character order: '1' < '9'.
    EXPECT_EQ(ExactCompare("track10", "track9", -1), -1);
    EXPECT_EQ(ExactCompare("a99999999999999999999999", "a1", 15), 1);
}

TEST(ExactCompareModes, CaseAndLength) {
    EXPECT_EQ(ExactCompare("ABC", "abd", -1), -1);
    EXPECT_EQ(ExactCompare("ABC", "abc", -1), 0);
    EXPECT_EQ(ExactCompare("ab", "abc", -1), -1);
    EXPECT_EQ(ExactCompare("abc", "ab", -1), 1);
    EXPECT_EQ(ExactCompare("", "", -1), 0);
    EXPECT_EQ(ExactCompare("Zeta", "alpha", -3), 1);
    EXPECT_EQ(ExactCompare("alpha", "ALPHA", -3), 0);
    // In mode -5 digits sort after letters; in mode -1 before them.
    EXPECT_EQ(ExactCompare("1", "a", -5), 1);
    EXPECT_EQ(ExactCompare("1", "a", -1), -1);
}

TEST(ExactCompareModes, EvenModesAreEqualOthersUseStrcasecmp) {
    for (int mode = 0; mode <= 14; mode += 2)
        EXPECT_EQ(ExactCompare("a", "b", mode), 0);
    EXPECT_LT(ExactCompare("a", "B", 3), 0);
    EXPECT_EQ(ExactCompare("HeLLo", "hello", 1), 0);
    EXPECT_GT(ExactCompare("b", "a", -2), 0);
    EXPECT_GT(ExactCompare("b", "a", 16), 0);
}
