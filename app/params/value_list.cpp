#include "app/params/value_list.h"

#include <new>
#include <utility>

namespace params {

ValueList::ValueList(const ValueList& other) {
    for (Node* node = other.head_; node != nullptr; node = node->next) {
        if (ListAppend(node->value) != 0) {
            FreeAll();
            throw std::bad_alloc();
        }
    }
}

ValueList& ValueList::operator=(const ValueList& other) {
    if (this != &other) {
        ValueList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ValueList::ValueList(ValueList&& other) noexcept
    : head_(std::exchange(other.head_, nullptr)), tail_(std::exchange(other.tail_, nullptr)),
      cursor_(std::exchange(other.cursor_, nullptr)), count_(std::exchange(other.count_, 0)) {}

ValueList& ValueList::operator=(ValueList&& other) noexcept {
    if (this != &other) {
        FreeAll();
        head_ = std::exchange(other.head_, nullptr);
        tail_ = std::exchange(other.tail_, nullptr);
        cursor_ = std::exchange(other.cursor_, nullptr);
        count_ = std::exchange(other.count_, 0);
    }
    return *this;
}

void ValueList::FreeAll() {
    Node* node = head_;
    while (node != nullptr) {
        Node* next = node->next;
        delete node;
        node = next;
    }
    head_ = nullptr;
    tail_ = nullptr;
    cursor_ = nullptr;
    count_ = 0;
}

int ValueList::ListFirst(float& value) {
    cursor_ = head_;
    if (head_ == nullptr) {
        return -1;
    }
    value = head_->value;
    return 0;
}

int ValueList::ListNext(float& value) {
    if (cursor_ == nullptr || cursor_->next == nullptr) {
        return -1;
    }
    cursor_ = cursor_->next;
    value = cursor_->value;
    return 0;
}

int ValueList::ListPushFront(float value) {
    Node* node = new (std::nothrow) Node{value, head_};
    if (node == nullptr) {
        return -2;
    }
    head_ = node;
    if (tail_ == nullptr) {
        tail_ = node;
    }
    cursor_ = node;
    ++count_;
    return 0;
}

int ValueList::ListAppend(float value) {
    Node* node = new (std::nothrow) Node{value, nullptr};
    if (node == nullptr) {
        return -2;
    }
    if (tail_ == nullptr) {
        head_ = node;
        cursor_ = node;
    } else {
        tail_->next = node;
    }
    tail_ = node;
    ++count_;
    return 0;
}

int ValueList::ListRemoveAt(int position) {
    if (head_ == nullptr) {
        return -1;
    }
    if (position == 1) {
        Node* removed = head_;
        head_ = removed->next;
        if (tail_ == removed) {
            tail_ = nullptr;
        }
        cursor_ = head_;
        delete removed;
        --count_;
        return 0;
    }
    if (position < 1) {
        return -2;
    }
    Node* before = head_;
    for (int i = 2; i < position && before != nullptr; ++i) {
        before = before->next;
    }
    if (before == nullptr || before->next == nullptr) {
        return -2;
    }
    Node* removed = before->next;
    before->next = removed->next;
    if (tail_ == removed) {
        tail_ = before;
    }
    if (cursor_ == removed) {
        cursor_ = head_;
    }
    delete removed;
    --count_;
    return 0;
}

std::vector<float> ValueList::Values() const {
    std::vector<float> values;
    values.reserve(static_cast<std::size_t>(count_));
    for (Node* node = head_; node != nullptr; node = node->next) {
        values.push_back(node->value);
    }
    return values;
}

} // namespace params
