#pragma once
// The ordered, owning list behind TSatelites, TTransponders, TAntenas and
// TChannels. The order is meaningful: it is the order of the receiver's tables
// and of every file written.
//
// Get and New hand out plain pointers; the list alone owns its records, so a
// record leaves memory exactly when Delete or Clear removes it, and every
// TRef to it then reads as missing instead of dangling.
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/TRef.h"

template <class T>
class TRecordList {
public:
    TRecordList() = default;
    TRecordList(const TRecordList&) = delete;
    TRecordList& operator=(const TRecordList&) = delete;
    virtual ~TRecordList() { Clear(); }

    int Count() const { return static_cast<int>(items_.size()); }

    // Deletes every record, the last one first.
    void Clear()
    {
        while (!items_.empty())
            items_.pop_back();
    }

    // Frees the record; references to it elsewhere read as missing from now on.
    void Delete(int index)
    {
        CheckIndex(index, "Delete");
        items_.erase(items_.begin() + index);
    }

    // Takes the record out at From and inserts it at To (To counts after the removal).
    void Move(int from, int to)
    {
        CheckIndex(from, "Move");
        if (to < 0 || to >= Count())
            throw std::out_of_range("list index out of range in Move: " + std::to_string(to));
        auto record = std::move(items_[static_cast<std::size_t>(from)]);
        items_.erase(items_.begin() + from);
        items_.insert(items_.begin() + to, std::move(record));
    }

    // Position of the record, -1 when the list does not hold it (a default
    // record, a record of another list, nullptr).
    int IndexOf(const T* record) const
    {
        if (!record)
            return -1;
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == record)
                return static_cast<int>(i);
        return -1;
    }
    int IndexOf(const TRef<T>& ref) const { return IndexOf(ref.Get()); }

protected:
    // Appends a record with every field zeroed; the derived lists point its
    // references at the default records.
    T* Append()
    {
        items_.push_back(std::make_shared<T>());
        return items_.back().get();
    }
    T* At(int index) const
    {
        return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
    }

private:
    void CheckIndex(int index, const char* what) const
    {
        if (index < 0 || index >= Count())
            throw std::out_of_range(std::string("list index out of range in ") + what + ": " + std::to_string(index));
    }

    std::vector<std::shared_ptr<T>> items_;
};
