#pragma once
#include <memory>

#include "database/TRecordList.h"
#include "database/VexaRecords.h"

// The satellites of a data set, with the default satellite that every missing
// satellite reference stands for. The default is never an entry of the list.
class TSatelites : public TRecordList<TSateliteRec> {
public:
    // The default satellite is named by text 1414 in the language current now.
    TSatelites();

    // The record at Index; the default satellite when Index is out of range.
    TSateliteRec* Get(int index) const;
    // Appends a zeroed satellite and returns it.
    TSateliteRec* New();
    TSateliteRec* Default() const { return default_.get(); }

    // The satellite a reference stands for: its record while it is alive,
    // else (deleted, never set) the default satellite.
    const TSateliteRec& Resolve(const TRef<TSateliteRec>& ref) const;

private:
    std::shared_ptr<TSateliteRec> default_;
};
