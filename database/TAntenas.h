#pragma once
#include <memory>

#include "database/TRecordList.h"
#include "database/TSatelites.h"
#include "database/VexaRecords.h"

// The antennas (LNB and switching settings per satellite) of a data set, with
// their default antenna (on the default satellite of the same set).
class TAntenas : public TRecordList<TAntenaRec> {
public:
    explicit TAntenas(const TSatelites& satelites);

    // The record at Index; the default antenna when Index is out of range.
    TAntenaRec* Get(int index) const;
    // Appends a zeroed antenna on the default satellite and returns it.
    TAntenaRec* New();
    TAntenaRec* Default() const { return default_.get(); }

    // The antenna a reference stands for; the default one when it is gone.
    const TAntenaRec& Resolve(const TRef<TAntenaRec>& ref) const;

private:
    const TSatelites& satelites_;
    std::shared_ptr<TAntenaRec> default_;
};
