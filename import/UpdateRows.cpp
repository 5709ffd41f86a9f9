#include "import/UpdateRows.h"

#include "database/RecordPositions.h"
#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/WaitBox.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>

namespace {

// An orbital position as the matching sees it: tenths of a degree and the
// east/west letter.
struct Position {
    std::uint16_t Angle = 0;
    char EastWest = 0;
    bool operator==(const Position&) const = default;
};

Position PositionOf(const TVexaData& data, const TChannelRec& channel)
{
    const TSateliteRec& satelite = data.Satelites.Resolve(channel.Satelite);
    return {satelite.Angle, satelite.EastWest};
}

// A PID the incoming channel carries (see the header on PID 0).
bool PidDiffers(std::uint16_t incoming, std::uint16_t current)
{
    return incoming != 0 && incoming != current;
}

bool Differs(const TVexaData& currentData, const TChannelRec& current, const TVexaData& incomingData,
             const TChannelRec& incoming)
{
    const TTransponderRec& a = currentData.Transponders.Resolve(current.Transponder);
    const TTransponderRec& b = incomingData.Transponders.Resolve(incoming.Transponder);
    return a.Frequency != b.Frequency || a.Symbol != b.Symbol || a.Polar != b.Polar
        || current.ServiceId != incoming.ServiceId || PidDiffers(incoming.VideoPid, current.VideoPid)
        || PidDiffers(incoming.AudioPid, current.AudioPid);
}

void CopyPid(std::uint16_t& target, std::uint16_t source)
{
    if (source != 0)
        target = source;
}

// What makes two channels candidates for each other: their satellites'
// position and their names' key (NameKey). Equal keys, equal candidates.
struct MatchKey {
    std::uint16_t Angle = 0;
    char EastWest = 0;
    std::uint8_t Length = 0;
    std::array<char, decltype(TChannelRec::Name)::Capacity> Name{}; // zero beyond Length
    bool operator==(const MatchKey&) const = default;
};
// Hashed as its bytes, so it must have no padding.
static_assert(std::has_unique_object_representations_v<MatchKey>);

struct MatchKeyHash {
    std::size_t operator()(const MatchKey& key) const noexcept
    {
        return std::hash<std::string_view>{}({reinterpret_cast<const char*>(&key), sizeof key});
    }
};

MatchKey KeyOf(const TVexaData& data, const TChannelRec& channel)
{
    const Position where = PositionOf(data, channel);
    MatchKey key;
    key.Angle = where.Angle;
    key.EastWest = where.EastWest;
    // A key is never longer than its name, and a name fits its field.
    const std::string name = NameKey(channel.Name.view());
    key.Length = static_cast<std::uint8_t>(std::min(name.size(), key.Name.size()));
    std::copy_n(name.begin(), key.Length, key.Name.begin());
    return key;
}

// The current channels grouped by MatchKey, each group in list order, so
// that an incoming channel meets only its own candidates: a full list against
// a full listing would otherwise be millions of name comparisons.
class CandidateIndex {
public:
    explicit CandidateIndex(const TVexaData& data)
        : Next(static_cast<std::size_t>(data.Channels.Count()), -1)
    {
        First.reserve(Next.size());
        // From the last channel back, each one goes before the rest of its group.
        for (int c = data.Channels.Count() - 1; c >= 0; --c) {
            auto [group, added] = First.try_emplace(KeyOf(data, *data.Channels.Get(c)), c);
            if (!added) {
                Next[static_cast<std::size_t>(c)] = group->second;
                group->second = c;
            }
        }
    }

    // The first channel of the group; -1 when there is none.
    int FirstOf(const MatchKey& key) const
    {
        const auto group = First.find(key);
        return group == First.end() ? -1 : group->second;
    }
    // The channel after c in its group; -1 after the last.
    int NextOf(int c) const { return Next[static_cast<std::size_t>(c)]; }

private:
    std::unordered_map<MatchKey, int, MatchKeyHash> First;
    std::vector<int> Next;
};

// Lets the wait box run at the first step and then every few hundredths of a
// second. A step of the merge costs far less than a poll (processing events
// repaints the progress bar), so polling by count would spend most of the run
// in the box.
class WaitPoll {
public:
    explicit WaitPoll(IWaitBox& box) : Box(box) {}

    // True when the user cancelled, as far as this poll saw.
    bool Cancelled(int position)
    {
        const auto now = std::chrono::steady_clock::now();
        if (now < Due)
            return false;
        Due = now + std::chrono::milliseconds(40);
        return CancelledNow(position);
    }

    bool CancelledNow(int position)
    {
        Box.SetPosition(position);
        Box.ProcessEvents();
        return Box.Cancelled();
    }

private:
    IWaitBox& Box;
    std::chrono::steady_clock::time_point Due = std::chrono::steady_clock::time_point::min();
};

} // namespace

UpdateRows::UpdateRows(TVexaData& current, const TVexaData& incoming)
    : CurrentData(&current)
    , IncomingData(&incoming)
{
}

bool UpdateRows::Build()
{
    const TVexaData& current = *CurrentData;
    const TVexaData& incoming = *IncomingData;
    const int incomingCount = incoming.Channels.Count();

    auto box = CreateWaitBox();
    box->ShowLabel(LangText(3007));
    box->SetMax(std::max(incomingCount - 1, 0));
    box->Start();
    WaitPoll poll(*box);
    Rows.clear();

    const CandidateIndex index(current);
    // The current channels that an earlier row already updates.
    std::vector<bool> matched(static_cast<std::size_t>(current.Channels.Count()), false);

    for (int i = 0; i < incomingCount; ++i) {
        if (poll.Cancelled(i)) {
            Rows.clear();
            return false;
        }
        TChannelRec* in = incoming.Channels.Get(i);
        const int first = index.FirstOf(KeyOf(incoming, *in));
        // Any same-named channel rules out an addition; the first of them
        // that differs is the update's candidate.
        int candidate = -1;
        if (UpdateTuned) {
            for (int c = first; c >= 0 && candidate < 0; c = index.NextOf(c))
                if (Differs(current, *current.Channels.Get(c), incoming, *in))
                    candidate = c;
        }
        // A channel already claimed by an earlier row keeps that row; the
        // incoming channel gets no other candidate.
        if (candidate >= 0 && !matched[static_cast<std::size_t>(candidate)]) {
            matched[static_cast<std::size_t>(candidate)] = true;
            Rows.push_back({in, ActionUpdate, current.Channels.Get(candidate), true});
        }
        if (CreateMissing && first < 0)
            Rows.push_back({in, ActionAdd, nullptr, true});
    }
    return true;
}

void UpdateRows::ToggleMark(int index)
{
    Row& row = Rows.at(static_cast<std::size_t>(index));
    row.Marked = !row.Marked;
}

void UpdateRows::MarkAll(bool marked)
{
    for (Row& row : Rows)
        row.Marked = marked;
}

void UpdateRows::SetIncoming(int index, TChannelRec* channel)
{
    if (channel)
        Rows.at(static_cast<std::size_t>(index)).Incoming = channel;
}

std::vector<TChannelRec*> UpdateRows::AlikeIncoming(const TChannelRec& matched) const
{
    std::vector<TChannelRec*> alike;
    const Position where = PositionOf(*CurrentData, matched);
    const std::string key = NameKey(matched.Name.view());
    for (int i = 0; i < IncomingData->Channels.Count(); ++i) {
        TChannelRec* in = IncomingData->Channels.Get(i);
        if (PositionOf(*IncomingData, *in) == where && NameKey(in->Name.view()) == key)
            alike.push_back(in);
    }
    return alike;
}

bool UpdateRows::Apply()
{
    const int count = Count();
    auto box = CreateWaitBox();
    box->ShowLabel(LangText(3020));
    box->SetMax(count);
    box->Start();
    WaitPoll poll(*box);

    TVexaData work;
    work.Assign(*CurrentData);
    // The copy holds the same channels in the same order.
    const auto positions = PositionMap<TChannels, TChannelRec>(CurrentData->Channels);
    for (int i = 0; i < count; ++i) {
        if (poll.Cancelled(i))
            return false;
        const Row& row = Rows[static_cast<std::size_t>(i)];
        if (!row.Marked)
            continue;
        if (row.Action == ActionUpdate) {
            const auto at = positions.find(row.Matched);
            if (at == positions.end())
                continue;
            if (!FillChannelData(work, *work.Channels.Get(at->second), false, *row.Incoming))
                return false;
        } else {
            if (work.Channels.Count() >= TVexaData::MaxChannels) {
                ShowError(WithCount(LangText(3021), TVexaData::MaxChannels));
                return false;
            }
            if (!FillChannelData(work, *work.Channels.New(), true, *row.Incoming))
                return false;
        }
    }
    // A Cancel pressed since the last poll still counts: nothing is replaced yet.
    if (poll.CancelledNow(count))
        return false;
    box->FinSinDestruir();
    box.reset();
    CurrentData->Assign(work);
    Rows.clear();
    return true;
}

bool UpdateRows::FillChannelData(TVexaData& data, TChannelRec& target, bool newRecord,
                                 const TChannelRec& source) const
{
    if (newRecord) {
        target.Name = source.Name;
        target.Favorite = 0;
        target.Lock = 0;
        target.Favorites = {};
        target.Radio = source.Radio;
    }
    const TSateliteRec& sourceSatelite = IncomingData->Satelites.Resolve(source.Satelite);
    TSateliteRec* satelite =
        data.FindSatelite(sourceSatelite.Angle, sourceSatelite.EastWest, sourceSatelite.Name.str(), true);
    if (!satelite) {
        ShowError(LangText(3022));
        return false;
    }
    target.Satelite = satelite;
    const TTransponderRec& sourceTp = IncomingData->Transponders.Resolve(source.Transponder);
    TAntenaRec* antena = data.FindAntena(satelite, true);
    TTransponderRec* transponder =
        data.FindTransponder(satelite, sourceTp.Frequency, sourceTp.Polar, sourceTp.Symbol, true);
    if (!antena) {
        ShowError(LangText(3024));
        return false;
    }
    if (!transponder) {
        ShowError(LangText(3023));
        return false;
    }
    target.Antena = antena;
    target.Transponder = transponder;
    target.ServiceId = source.ServiceId;
    CopyPid(target.VideoPid, source.VideoPid);
    CopyPid(target.AudioPid, source.AudioPid);
    CopyPid(target.PcrPid, source.PcrPid);
    CopyPid(target.TxtPid, source.TxtPid);
    target.Scramble = source.Scramble;
    return true;
}
