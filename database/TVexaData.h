#pragma once
// TVexaData: one receiver channel list in memory.
//
// Four ordered record lists -- Satelites, Transponders, Antenas, Channels --
// plus the list number the receiver keeps and a flag that says whether the
// set holds a list that was read or started successfully.
//
// References. A transponder and an antenna refer to their satellite; a channel
// to its satellite, transponder and antenna (TRef). A reference to a record
// that is not in the list -- a default record, a record deleted while still
// referenced, or one that was never set -- counts as missing: IndexOf gives -1
// and Resolve gives the list's default record. A deleted record is never
// followed. Callers that delete records re-point or delete the records that
// depend on them first; forgetting to is harmless, not a crash.
//
// Capacities. The receiver holds at most 127 satellites, 2048 transponders,
// 127 antennas and 2500 channels. The lists do not enforce them (importers add
// freely and then check); the receiver image writer refuses a set beyond them.
//
// Copying and comparing. A data set is never copied by value: Assign makes a
// deep copy whose references point into the copy; Equals compares two sets
// record by record, references by the content of what they point to.
//
// Everything here runs on the main thread.
#include <cstdint>

#include "database/TAntenas.h"
#include "database/TChannels.h"
#include "database/TSatelites.h"
#include "database/TTransponders.h"
#include "database/VexaRecords.h"

class TVexaData {
public:
    static constexpr int MaxSatelites = 127;
    static constexpr int MaxTransponders = 2048;
    static constexpr int MaxAntenas = 127;
    static constexpr int MaxChannels = 2500;

    // An empty, not valid set. Its default satellite takes its name (text
    // 1414) from the language current now and keeps it.
    TVexaData();
    TVexaData(const TVexaData&) = delete;
    TVexaData& operator=(const TVexaData&) = delete;

    // Declared in this order on purpose: each list refers to the ones above it.
    TSatelites Satelites;
    TTransponders Transponders;
    TAntenas Antenas;
    TChannels Channels;
    std::uint16_t ListNumber = 0;
    bool Valid = false;

    // Empties the four lists (the default records stay), ListNumber 0, Valid false.
    void Clear();

    // True while every list is within the receiver's capacity.
    bool WithinCapacity() const;

    // The N-th (from 1) transponder of Satelite in list order; the default
    // transponder when N < 1 or Satelite has fewer than N transponders.
    // A transponder whose satellite is missing belongs to the default satellite.
    TTransponderRec* GetTpOfSat(int n, const TSateliteRec* satelite) const;

    // The number of Transponder among the transponders of its own satellite
    // (the first is 1); 0 when the list does not hold it.
    int TpNumber(const TTransponderRec* transponder) const;

    // Deep copy of Source; every reference is re-linked to the copy's record
    // at the same position, and a reference Source cannot find in its lists
    // becomes the copy's default record of that kind.
    void Assign(const TVexaData& source);

    // Field-by-field equality of two records. References are compared by the
    // content of what they point to, never by identity; a missing reference
    // stands for this set's default record.
    bool SameRecord(const TSateliteRec& a, const TSateliteRec& b) const;
    bool SameRecord(const TTransponderRec& a, const TTransponderRec& b) const;
    bool SameRecord(const TAntenaRec& a, const TAntenaRec& b) const;
    bool SameRecord(const TChannelRec& a, const TChannelRec& b) const;

    // Whole-set equality: list number, valid flag, then every list pair by
    // pair (satellites, transponders, antennas, channels). Missing references
    // stand for each set's own default record.
    bool Equals(const TVexaData& other) const;
};
