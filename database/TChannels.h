#pragma once
#include "database/TAntenas.h"
#include "database/TRecordList.h"
#include "database/TSatelites.h"
#include "database/TTransponders.h"
#include "database/VexaRecords.h"

// The channels of a data set. Unlike the other lists it has no default
// record: Get out of range gives nullptr.
class TChannels : public TRecordList<TChannelRec> {
public:
    TChannels(const TSatelites& satelites, const TTransponders& transponders, const TAntenas& antenas);

    // The record at Index; nullptr when Index is out of range.
    TChannelRec* Get(int index) const { return At(index); }
    // Appends a zeroed channel whose references are on the default records.
    TChannelRec* New();

private:
    const TSatelites& satelites_;
    const TTransponders& transponders_;
    const TAntenas& antenas_;
};
