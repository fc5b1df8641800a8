// zell::data::datatree: a height-balanced (AVL) binary search tree of copies of T.
// T must be copyable and provide Release(), which frees what the item owns; the tree calls it
// once per stored copy when the copy is disposed, so inserting hands that ownership to the tree.
//
// Each node owns its two subtrees through raw pointers, which the rebalancing moves from node to
// node: the one place where the product keeps nodes by hand, exempt from the ownership check.
#pragma once

namespace zell::data {

// NOLINTBEGIN(cppcoreguidelines-owning-memory): see above.
template <typename T> class datatree {
  public:
    using Compare = int (*)(void*, void*);

    struct Node {
        int balance; // -1 left subtree higher, 0 equal, +1 right subtree higher
        Node* left;
        Node* right;
        Node* parent;
        T item;
        int index;
    };

    explicit datatree(Compare compare) : compare(compare) {}
    datatree(const datatree&) = delete;
    datatree& operator=(const datatree&) = delete;
    virtual ~datatree() { dis(root); }

    // Items comparing equal to one in the tree go to its left.
    void ins(const T& item) {
        bool grew = false;
        ins(root, nullptr, item, grew);
    }

    // Numbers the nodes 0, 1, ... in order.
    void enumerate() {
        int counter = 0;
        enumerate(root, counter);
    }

    void Clear() {
        dis(root);
        root = nullptr;
    }

    // Calls f(node) for every node in order.
    template <typename F> void ForEach(F f) const { Visit(root, f); }

    Node* Root() const { return root; }
    int Count() const { return count; }

  protected:
    void dis(Node* node) {
        if (!node) return;
        dis(node->left);
        dis(node->right);
        node->item.Release();
        delete node;
        --count;
    }

  private:
    void ins(Node*& link, Node* parent, const T& item, bool& grew) {
        if (!link) {
            link = new Node{0, nullptr, nullptr, parent, item, count};
            ++count;
            grew = true;
            return;
        }
        bool toLeft = compare(const_cast<T*>(&item), &link->item) <= 0;
        ins(toLeft ? link->left : link->right, link, item, grew);
        if (!grew) return;
        link->balance += toLeft ? -1 : 1;
        if (link->balance == 0) {
            grew = false;
        } else if (link->balance == -2 || link->balance == 2) {
            link = link->balance < 0 ? FixLeft(link) : FixRight(link);
            grew = false;
        }
    }

    static void SetParent(Node* child, Node* parent) {
        if (child) child->parent = parent;
    }

    // The left subtree of a is two levels higher; returns the subtree's new top.
    static Node* FixLeft(Node* a) {
        Node* b = a->left;
        Node* top = b;
        if (b->balance < 0) {
            a->left = b->right;
            SetParent(a->left, a);
            b->right = a;
            a->balance = b->balance = 0;
        } else {
            Node* c = b->right;
            b->right = c->left;
            SetParent(b->right, b);
            a->left = c->right;
            SetParent(a->left, a);
            c->left = b;
            c->right = a;
            b->parent = c;
            a->balance = c->balance < 0 ? 1 : 0;
            b->balance = c->balance > 0 ? -1 : 0;
            c->balance = 0;
            top = c;
        }
        top->parent = a->parent;
        a->parent = top;
        return top;
    }

    // The mirror image of FixLeft.
    static Node* FixRight(Node* a) {
        Node* b = a->right;
        Node* top = b;
        if (b->balance > 0) {
            a->right = b->left;
            SetParent(a->right, a);
            b->left = a;
            a->balance = b->balance = 0;
        } else {
            Node* c = b->left;
            b->left = c->right;
            SetParent(b->left, b);
            a->right = c->left;
            SetParent(a->right, a);
            c->right = b;
            c->left = a;
            b->parent = c;
            a->balance = c->balance > 0 ? -1 : 0;
            b->balance = c->balance < 0 ? 1 : 0;
            c->balance = 0;
            top = c;
        }
        top->parent = a->parent;
        a->parent = top;
        return top;
    }

    static void enumerate(Node* node, int& counter) {
        if (!node) return;
        enumerate(node->left, counter);
        node->index = counter++;
        enumerate(node->right, counter);
    }

    template <typename F> static void Visit(Node* node, F& f) {
        if (!node) return;
        Visit(node->left, f);
        f(*node);
        Visit(node->right, f);
    }

    Node* root = nullptr;
    Compare compare;
    int count = 0;
};
// NOLINTEND(cppcoreguidelines-owning-memory)

} // namespace zell::data
