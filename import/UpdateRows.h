#pragma once
// The merge of an imported channel list into the current one, without the
// window: which incoming channels update a channel the user already has and
// which are missing, the user's marks on those rows, and applying the marked
// rows to a working copy that replaces the current set only when every row
// succeeded.
//
// Matching. Two channels are on the same satellite when their satellites
// share orbital position and east/west letter; they have the same name when
// SameName holds. A current channel differs from an incoming one in the
// transponder's frequency, symbol rate or polarisation, the service id, or
// the video or audio PID.
//
// A PID of 0 in an incoming channel means the source does not carry it (MAX
// files carry no PIDs, SDX fields may be blank); 0 is never a real stream.
// Such a PID is neither compared nor copied, so merging a list without PIDs
// never wipes the user's.
#include <vector>

class TVexaData;
struct TChannelRec;

class UpdateRows {
public:
    static constexpr int ActionUpdate = 1;
    static constexpr int ActionAdd = 2;

    struct Row {
        TChannelRec* Incoming = nullptr; // a channel of the incoming set
        int Action = ActionUpdate;
        TChannelRec* Matched = nullptr;  // the current channel an update replaces; nullptr for an add
        bool Marked = true;
    };

    // Neither set is owned; both must outlive the rows. Incoming is only read.
    UpdateRows(TVexaData& current, const TVexaData& incoming);

    // The two kinds of rows the user allows; they take effect at the next Build.
    bool UpdateTuned = true;    // updates of channels the user has
    bool CreateMissing = false; // additions of channels the user lacks

    // Builds the rows from scratch, every row marked, under a wait box that
    // offers Cancel. False when the user cancelled; the rows are empty then.
    bool Build();

    int Count() const { return static_cast<int>(Rows.size()); }
    // Index must be in range.
    const Row& At(int index) const { return Rows.at(static_cast<std::size_t>(index)); }
    void ToggleMark(int index);
    void MarkAll(bool marked);
    // The incoming channel an update row applies (another of the alike ones).
    void SetIncoming(int index, TChannelRec* channel);

    // The incoming channels, in list order, on the satellite of Matched (a
    // current channel) with its name: the choices of an update row.
    std::vector<TChannelRec*> AlikeIncoming(const TChannelRec& matched) const;

    // Applies the marked rows under a wait box with Cancel: updates in place,
    // additions appended, satellites, antennas and transponders found or
    // added. True when the current set was replaced; the rows referred to
    // its old records and are emptied then. False when a capacity stopped the
    // run (its message shown) or the user cancelled: the current set is
    // unchanged and the rows stay for another try.
    bool Apply();

    // Makes Target, a channel of Data, the incoming channel Source: a new
    // record also takes the name, TV/radio type and cleared favourites and
    // lock; every record takes the satellite, antenna and transponder found
    // or added in Data, the service id, the scrambled flag and each PID that
    // Source carries. False, with the limit's message shown, when Data has no
    // room for the satellite, antenna or transponder.
    bool FillChannelData(TVexaData& data, TChannelRec& target, bool newRecord, const TChannelRec& source) const;

    TVexaData& Current() const { return *CurrentData; }
    const TVexaData& Incoming() const { return *IncomingData; }

private:
    TVexaData* CurrentData;
    const TVexaData* IncomingData;
    std::vector<Row> Rows;
};
