#pragma once
#include <memory>

#include "database/TRecordList.h"
#include "database/TSatelites.h"
#include "database/VexaRecords.h"

// The transponders of a data set, with their default transponder (on the
// default satellite of the same set).
class TTransponders : public TRecordList<TTransponderRec> {
public:
    explicit TTransponders(const TSatelites& satelites);

    // The record at Index; the default transponder when Index is out of range.
    TTransponderRec* Get(int index) const;
    // Appends a zeroed transponder on the default satellite and returns it.
    TTransponderRec* New();
    TTransponderRec* Default() const { return default_.get(); }

    // The transponder a reference stands for; the default one when it is gone.
    const TTransponderRec& Resolve(const TRef<TTransponderRec>& ref) const;

private:
    const TSatelites& satelites_;
    std::shared_ptr<TTransponderRec> default_;
};
