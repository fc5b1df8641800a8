// zell::data::datalist: a doubly linked list of values of T, appended at the tail.
#pragma once

namespace zell::data {

template <typename T, int K> class datalist {
  public:
    struct Node {
        Node* previous;
        Node* next;
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
        Node* node = new Node{nullptr, nullptr, value};
        if (!head || !tail || count < 2) {
            head = node;
        } else {
            Node* after = count == 2 ? head : tail;
            node->previous = after;
            after->next = node;
        }
        tail = node;
    }

    void Clear() {
        for (Node* node = head; node;) {
            Node* next = node->next;
            delete node;
            node = next;
        }
        head = tail = nullptr;
        count = 0;
    }

    Node* Head() const { return head; }
    Node* Tail() const { return tail; }
    int Count() const { return count; }

  private:
    Node* head = nullptr;
    Node* tail = nullptr;
    int count = 0;
};

} // namespace zell::data
