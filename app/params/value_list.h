#pragma once
// The load-impedance list of the options window: a singly linked list of floats
// with a cursor for walking it (ListFirst, then ListNext until -1).
// Results: 0 done, -1 nothing there (empty list, end of the walk), -2 no memory or
// no such position.

#include <cstddef>
#include <vector>

namespace params {

class ValueList {
public:
    ValueList() = default;
    ValueList(const ValueList& other);
    ValueList& operator=(const ValueList& other);
    ValueList(ValueList&& other) noexcept;
    ValueList& operator=(ValueList&& other) noexcept;
    ~ValueList() { FreeAll(); }

    // Forgets every node (count 0, no cursor).
    void Clear() { FreeAll(); }
    // Releases every node; count 0.
    void FreeAll();

    int ListFirst(float& value);
    int ListNext(float& value);
    int Count() const { return count_; }

    // New node at the head; the cursor moves to it.
    int ListPushFront(float value);
    // New node at the tail; in an empty list it also becomes the cursor.
    int ListAppend(float value);
    // Removes the node at a 1-based position. Removing the head moves the cursor to
    // the new head; a cursor that stood on another removed node moves to the head.
    int ListRemoveAt(int position);

    // The values in list order, without touching the cursor.
    std::vector<float> Values() const;

private:
    struct Node {
        float value;
        Node* next;
    };

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    Node* cursor_ = nullptr;
    int count_ = 0;
};

} // namespace params
