#pragma once
// The list of objects a factory has made: insertion order kept, and capacity grown
// by half of the current capacity (at least to the size needed).

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quorvel {

template <class T> class ObjectArray {
public:
    // Throws std::bad_alloc when the list cannot grow (the object is then not added).
    void Append(T* object) {
        if (items_.size() == items_.capacity())
            items_.reserve(std::max(items_.size() + 1, items_.capacity() + items_.capacity() / 2));
        items_.push_back(object);
    }
    // Removes `object`, keeping the order of the rest. False when it is not listed.
    bool Remove(const T* object) {
        const auto at = std::find(items_.begin(), items_.end(), object);
        if (at == items_.end())
            return false;
        items_.erase(at);
        return true;
    }
    // The first object whose `match` is true, or null.
    template <class Match> T* Find(Match match) const {
        const auto at = std::find_if(items_.begin(), items_.end(), match);
        return at == items_.end() ? nullptr : *at;
    }
    T* First() const { return items_.empty() ? nullptr : items_.front(); }
    bool Empty() const { return items_.empty(); }
    size_t Size() const { return items_.size(); }
    size_t Capacity() const { return items_.capacity(); }
    const std::vector<T*>& Items() const { return items_; }

private:
    std::vector<T*> items_;
};

} // namespace quorvel
