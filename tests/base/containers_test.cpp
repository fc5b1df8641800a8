#include "SFolderItem.h"
#include "datalist.h"
#include "datatree.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

using zell::data::datalist;
using zell::data::datatree;
using zell::file::SFolderItem;
using zell::file::SFolderTree;

namespace {

int releases = 0;

struct Number {
    int value;
    int serial;
    void Release() { ++releases; }
};

int CompareNumbers(void* a, void* b) {
    int x = static_cast<Number*>(a)->value;
    int y = static_cast<Number*>(b)->value;
    return x < y ? -1 : x > y ? 1 : 0;
}

using Tree = datatree<Number>;

// The subtree's height, checking every node's balance, links and AVL condition on the way.
int CheckedHeight(const Tree::Node* node, const Tree::Node* parent) {
    if (!node) return 0;
    EXPECT_EQ(node->parent, parent);
    int left = CheckedHeight(node->left, node);
    int right = CheckedHeight(node->right, node);
    EXPECT_EQ(node->balance, right - left);
    EXPECT_LE(std::abs(right - left), 1);
    return 1 + std::max(left, right);
}

struct Destructible : zell::object::SISerializable {
    explicit Destructible(int* counter) : counter(counter) {}
    ~Destructible() override { ++*counter; }
    int* counter;
};

} // namespace

TEST(Datalist, AppendKeepsOrderAndLinks) {
    datalist<int, 0> list;
    EXPECT_EQ(list.Count(), 0);
    for (int i = 0; i < 5; ++i)
        list.Append(i);
    EXPECT_EQ(list.Count(), 5);
    std::vector<int> forward, backward;
    for (auto* n = list.Head(); n; n = n->next.get())
        forward.push_back(n->value);
    for (auto* n = list.Tail(); n; n = n->previous)
        backward.push_back(n->value);
    EXPECT_EQ(forward, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(backward, (std::vector<int>{4, 3, 2, 1, 0}));
    list.Clear();
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
    list.Append(9);
    EXPECT_EQ(list.Head(), list.Tail());
}

TEST(Datatree, StaysBalancedAndOrderedUnderRandomInsertions) {
    for (unsigned int seed : {1u, 7u, 12345u}) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> values(0, 300); // many equal values
        Tree tree(CompareNumbers);
        std::vector<int> inserted;
        for (int i = 0; i < 2000; ++i) {
            int v = values(random);
            tree.ins(Number{v, i});
            inserted.push_back(v);
            if (i % 250 == 0) CheckedHeight(tree.Root(), nullptr);
        }
        int height = CheckedHeight(tree.Root(), nullptr);
        EXPECT_LE(height, 16); // 1.44 log2(2001) is about 15.8
        EXPECT_EQ(tree.Count(), 2000);

        std::vector<int> inOrder;
        tree.ForEach([&](const Tree::Node& n) { inOrder.push_back(n.item.value); });
        std::sort(inserted.begin(), inserted.end());
        EXPECT_EQ(inOrder, inserted);
    }
}

TEST(Datatree, EqualItemsGoLeftAndEnumerateNumbersInOrder) {
    Tree tree(CompareNumbers);
    for (int i = 0; i < 6; ++i)
        tree.ins(Number{5, i});
    tree.ins(Number{1, 6});
    std::vector<int> serials, indices;
    tree.ForEach([&](const Tree::Node& n) { serials.push_back(n.item.serial); });
    // An equal item is placed before those already present.
    EXPECT_EQ(serials, (std::vector<int>{6, 5, 4, 3, 2, 1, 0}));
    tree.ForEach([&](const Tree::Node& n) { indices.push_back(n.index); });
    EXPECT_EQ(indices, (std::vector<int>{6, 5, 4, 3, 2, 1, 0})); // insertion numbers
    tree.enumerate();
    indices.clear();
    tree.ForEach([&](const Tree::Node& n) { indices.push_back(n.index); });
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(Datatree, DisposalReleasesEveryItem) {
    releases = 0;
    {
        Tree tree(CompareNumbers);
        for (int i = 0; i < 100; ++i)
            tree.ins(Number{i, i});
        tree.Clear();
        EXPECT_EQ(tree.Count(), 0);
        EXPECT_EQ(releases, 100);
        for (int i = 0; i < 10; ++i)
            tree.ins(Number{i, i});
    }
    EXPECT_EQ(releases, 110);
}

TEST(FolderTree, FoldersFirstThenNamesIgnoringCase) {
    int destroyed = 0;
    {
        SFolderTree tree;
        tree.ins(SFolderItem(SFolderItem::kFile, "beta.txt"));
        tree.ins(SFolderItem(SFolderItem::kFolder, "Zeta"));
        tree.ins(SFolderItem(SFolderItem::kFile, "Alpha.txt",
                             std::make_shared<Destructible>(&destroyed)));
        tree.ins(SFolderItem(SFolderItem::kFolder, "apps"));
        std::vector<std::string> names;
        tree.ForEach([&](const SFolderTree::Node& n) { names.emplace_back(n.item.name.Text()); });
        EXPECT_EQ(names, (std::vector<std::string>{"apps", "Zeta", "Alpha.txt", "beta.txt"}));
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(SFolderItem::SFileCompare(nullptr, nullptr), 0);
}
