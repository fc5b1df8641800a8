// zell::data::datalist: a doubly linked list of values of T, appended at the tail.
#pragma once

#include <memory>

namespace zell::data {

template <typename T, int K> class datalist {
  public:
    struct Node {
        Node* previous;
        std::unique_ptr<Node> next; // each node owns the rest of the list
        T value;
    };

    datalist() = default;
    datalist(const datalist&) = delete;
    datalist& operator=(const datalist&) = delete;
    virtual ~datalist() { Clear(); }

    virtual void Enumerate() {}

    // Copies value into a new node at the tail.
    void Append(const T& value) {
        ++count;
        std::unique_ptr<Node> node(new Node{nullptr, nullptr, value});
        Node* added = node.get();
        if (!head || !tail || count < 2) {
            head = std::move(node);
        } else {
            Node* after = count == 2 ? head.get() : tail;
            added->previous = after;
            after->next = std::move(node);
        }
        tail = added;
    }

    // Node by node, so that a long list does not end in deep recursion.
    void Clear() {
        while (head)
            head = std::move(head->next);
        tail = nullptr;
        count = 0;
    }

    Node* Head() const { return head.get(); }
    Node* Tail() const { return tail; }
    int Count() const { return count; }

  private:
    std::unique_ptr<Node> head;
    Node* tail = nullptr;
    int count = 0;
};

} // namespace zell::data
