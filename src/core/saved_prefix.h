#pragma once

#include <algorithm>
#include <iterator>
#include <vector>

// The first `count` entries of a table, moved aside and put back when the
// copy goes: how a run started inside another keeps the outer run's tables.
template <typename T>
class SavedPrefix {
public:
    SavedPrefix(T* table, int count)
        : table_(table), copy_(std::make_move_iterator(table), std::make_move_iterator(table + count)) {}
    ~SavedPrefix() { std::move(copy_.begin(), copy_.end(), table_); }
    SavedPrefix(const SavedPrefix&) = delete;
    SavedPrefix& operator=(const SavedPrefix&) = delete;

private:
    T* table_;
    std::vector<T> copy_;
};
