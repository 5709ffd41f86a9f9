#pragma once
// A reference from one record to another (a channel to its satellite, ...).
// It never keeps the record alive and never dangles: once the record is
// deleted from its list, Get() gives nullptr, and the lists resolve such a
// reference to their default record, exactly like a reference that was never
// set. Records are owned by their lists (see TRecordList.h).
//
// Data sets are used by one thread only, so a record seen alive stays alive
// while it is being looked at: Get() needs no locking, which keeps the
// lookups that run once per channel cheap.
#include <memory>

template <class T>
class TRef {
public:
    TRef() noexcept = default;
    // Implicit, so that `ch->Satelite = Data.Satelites.Get(i);` reads naturally.
    // A record that no list owns (a local copy) gives an empty reference.
    TRef(T* record) noexcept
    {
        if (record) {
            target_ = record->weak_from_this();
            if (!target_.expired())
                record_ = record;
        }
    }

    // The record, or nullptr when it was deleted or the reference never set.
    T* Get() const noexcept { return target_.expired() ? nullptr : record_; }
    bool Expired() const noexcept { return target_.expired(); }

private:
    std::weak_ptr<T> target_;
    // Valid exactly while target_ is not expired.
    T* record_ = nullptr;
};
