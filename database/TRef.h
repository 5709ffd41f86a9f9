#pragma once
// A reference from one record to another (a channel to its satellite, ...).
// It never keeps the record alive and never dangles: once the record is
// deleted from its list, Get() gives nullptr, and the lists resolve such a
// reference to their default record, exactly like a reference that was never
// set. Records are owned by their lists (see TRecordList.h).
#include <memory>

template <class T>
class TRef {
public:
    TRef() noexcept = default;
    // Implicit, so that `ch->Satelite = Data.Satelites.Get(i);` reads naturally.
    // A record that no list owns (a local copy) gives an empty reference.
    TRef(T* record) noexcept
    {
        if (record)
            target_ = record->weak_from_this();
    }

    // The record, or nullptr when it was deleted or the reference never set.
    T* Get() const noexcept { return target_.lock().get(); }
    bool Expired() const noexcept { return target_.expired(); }

private:
    std::weak_ptr<T> target_;
};
